# Opens URL in headless Chromium through chromedriver (the WebDriver protocol: plain HTTP and
# JSON), waits up to 60 s for the text of #result to start with RESULT, prints it and saves
# a screenshot of the page to SHOT. Usage: browse.py URL SHOT
import base64, json, shutil, socket, subprocess, sys, tempfile, time, urllib.request

def call(method, path, body=None):
    request = urllib.request.Request(base + path, method=method,
                                     data=None if body is None else json.dumps(body).encode(),
                                     headers={"Content-Type": "application/json"})
    with urllib.request.urlopen(request, timeout=60) as reply:
        return json.loads(reply.read())["value"]

listener = socket.socket()
listener.bind(("127.0.0.1", 0))
port = listener.getsockname()[1]
listener.close()
base = "http://127.0.0.1:%d" % port
driver = subprocess.Popen(["chromedriver", "--port=%d" % port], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL)
profile = tempfile.mkdtemp(prefix="velko-chromium-")  # a new, empty profile
try:
    for _ in range(100):
        try:
            call("GET", "/status")
            break
        except OSError:
            time.sleep(0.1)
    flags = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--user-data-dir=" + profile, "--window-size=1300,1000"]
    options = {"binary": "/usr/bin/chromium", "args": flags}
    session = "/session/" + call("POST", "/session", {"capabilities": {"alwaysMatch": {
        "goog:chromeOptions": options}}})["sessionId"]
    call("POST", session + "/url", {"url": sys.argv[1]})
    text = ""
    for _ in range(600):
        text = call("POST", session + "/execute/sync",
                    {"script": "return document.getElementById('result').textContent", "args": []})
        if text.startswith("RESULT"):
            break
        time.sleep(0.1)
    with open(sys.argv[2], "wb") as shot:
        shot.write(base64.b64decode(call("GET", session + "/screenshot")))
    call("DELETE", session)
    print(text)
finally:
    driver.terminate()
    driver.wait()
    shutil.rmtree(profile, ignore_errors=True)
