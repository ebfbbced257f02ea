# Opens URL in headless Chromium through chromedriver (WebDriver: plain HTTP and JSON), waits
# up to 60 s for #result to start with RESULT, prints it and saves the page as SHOT (PNG).
# Usage: browse.py URL SHOT
import base64, json, shutil, socket, subprocess, sys, tempfile, time, urllib.request

def call(method, path, body=None):
    data = None if body is None else json.dumps(body).encode()
    with urllib.request.urlopen(urllib.request.Request(base + path, data, method=method,
                                headers={"Content-Type": "application/json"}), timeout=60) as r:
        return json.loads(r.read())["value"]

with socket.socket() as s:
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
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
    session = "/session/" + call("POST", "/session", {"capabilities": {"alwaysMatch": {
        "goog:chromeOptions": {"binary": "/usr/bin/chromium", "args": flags}}}})["sessionId"]
    call("POST", session + "/url", {"url": sys.argv[1]})
    script = {"script": "return document.getElementById('result').textContent", "args": []}
    for _ in range(600):
        text = call("POST", session + "/execute/sync", script)
        if text.startswith("RESULT"):
            break
        time.sleep(0.1)
    open(sys.argv[2], "wb").write(base64.b64decode(call("GET", session + "/screenshot")))
    call("DELETE", session)
    print(text)
finally:
    driver.terminate()
    driver.wait()
    shutil.rmtree(profile, ignore_errors=True)
