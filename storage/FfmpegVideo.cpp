#include "FfmpegVideo.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <pthread.h>

#include <cstring>

extern char** environ;

namespace {

const char* const kProgram = "ffmpeg";

// A folder of PATH holds an executable ffmpeg (an empty entry is the working folder; with
// PATH unset, posix_spawnp searches /bin:/usr/bin)
bool FoundOnPath() {
    const char* pathVariable = getenv("PATH");
    std::string folders = pathVariable ? pathVariable : "/bin:/usr/bin";
    size_t start = 0;
    for (;;) {
        size_t colon = folders.find(':', start);
        std::string folder =
            folders.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        std::string candidate = (folder.empty() ? "." : folder) + "/" + kProgram;
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return true;
        if (colon == std::string::npos) return false;
        start = colon + 1;
    }
}

// The whole file at path into *bytes
bool ReadFile(const std::string& path, std::string* bytes) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buffer[65536];
    bool ok = true;
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) {
            bytes->append(buffer, (size_t)n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            ok = n == 0;
            break;
        }
    }
    close(fd);
    return ok;
}

// The last non-empty line of text
std::string LastLine(const std::string& text) {
    size_t end = text.find_last_not_of("\r\n \t");
    if (end == std::string::npos) return "";
    size_t start = text.find_last_of('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1, end + 1 - (start + 1));
}

class FfmpegVideoEncoder : public AnimationEncoder {
public:
    FfmpegVideoEncoder(const std::string& extension, const std::string& name,
                       const std::vector<std::string>& codecArguments)
        : extension(extension), name(name), codecArguments(codecArguments) {}
    ~FfmpegVideoEncoder() override { Stop(); }

    bool Begin(const AnimationHeader& h, std::string* error) override {
        Stop();
        if (h.transparent) {
            *error = "a " + name + " video cannot keep a transparent background; choose WebP, " +
                     "APNG or PNG";
            return false;
        }
        if (!FoundOnPath()) {
            *error = "writing " + name + " videos needs the ffmpeg program, which is not " +
                     "installed (on Debian: apt install ffmpeg)";
            return false;
        }
        const char* tmp = getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/velko-video-XXXXXX";
        if (!mkdtemp(&pattern[0])) {
            *error = "no temporary folder for the video: " + std::string(strerror(errno));
            return false;
        }
        folder = pattern;
        output = folder + "/video" + extension;
        log = folder + "/ffmpeg.log";

        char size[32], rate[16];
        snprintf(size, sizeof size, "%dx%d", h.width, h.height);
        snprintf(rate, sizeof rate, "%d", h.fps);
        std::vector<std::string> args = {kProgram, "-hide_banner", "-nostdin", "-loglevel",
                                         "error",  "-f",           "rawvideo", "-pix_fmt",
                                         "rgb24",  "-s",           size,       "-framerate",
                                         rate,     "-i",           "pipe:0",   "-an"};
        args.insert(args.end(), codecArguments.begin(), codecArguments.end());
        // No time stamps or encoder versions in the file: the same frames, the same bytes
        // wherever ffmpeg itself allows
        for (const char* a :
             {"-map_metadata", "-1", "-fflags", "+bitexact", "-flags:v", "+bitexact", "-y"})
            args.push_back(a);
        args.push_back(output);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(&a[0]);
        argv.push_back(nullptr);

        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) {
            *error = "no pipe to ffmpeg: " + std::string(strerror(errno));
            Stop();
            return false;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[0], STDIN_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        // The child starts with no signal blocked and SIGPIPE at its default
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t none, pipeSignal;
        sigemptyset(&none);
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setsigdefault(&attributes, &pipeSignal);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        int spawnError =
            posix_spawnp(&child, kProgram, &actions, &attributes, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        close(ends[0]);
        toFfmpeg = ends[1];
        if (spawnError != 0) {
            child = -1;
            *error = "could not start ffmpeg: " + std::string(strerror(spawnError));
            Stop();
            return false;
        }
        header = h;
        shownMs = 0;
        rgb.resize((size_t)h.width * (size_t)h.height * 3);
        return true;
    }

    bool AddFrame(const RgbaImage& f, const FrameTiming& t, std::string* error) override {
        const int durationMs = t.durationMs;
        if (f.width != header.width || f.height != header.height) {
            *error = "a frame of the wrong size";
            Stop();
            return false;
        }
        // Sent as many times as the video's frame rate gives it frames
        int copies = TicksOfFrame(shownMs, durationMs, header.fps);
        shownMs += durationMs;
        if (copies == 0) return true;
        const unsigned char* p = f.pixels.data();
        for (size_t i = 0, n = (size_t)f.width * (size_t)f.height; i < n; i++, p += 4)
            memcpy(&rgb[i * 3], p, 3);
        for (int c = 0; c < copies; c++)
            if (!Send(error)) return false;
        return true;
    }

    bool Finish(EncodedOutput* out, std::string* error) override {
        close(toFfmpeg);
        toFfmpeg = -1;
        int status = Wait();
        std::string bytes;
        if (status != 0) {
            *error = Failure(status);
            Stop();
            return false;
        }
        if (!ReadFile(output, &bytes)) {
            *error = "could not read the video ffmpeg wrote: " + std::string(strerror(errno));
            Stop();
            return false;
        }
        Stop();
        *out = EncodedOutput();
        out->bytes.swap(bytes);
        return true;
    }

private:
    // Writes the frame to ffmpeg; a pipe it has closed is its failure, not a signal that
    // ends this program
    bool Send(std::string* error) {
        sigset_t pipeSignal, before;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, &before);
        bool broken = false;
        size_t done = 0;
        while (done < rgb.size()) {
            ssize_t n = write(toFfmpeg, rgb.data() + done, rgb.size() - done);
            if (n > 0) {
                done += (size_t)n;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else {
                broken = true;
                break;
            }
        }
        if (broken) {
            // The pending SIGPIPE is taken here, before the mask is given back
            struct timespec now = {0, 0};
            while (sigtimedwait(&pipeSignal, nullptr, &now) == SIGPIPE) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
        if (!broken) return true;
        close(toFfmpeg);
        toFfmpeg = -1;
        *error = Failure(Wait());
        Stop();
        return false;
    }

    // ffmpeg's exit status (0: done), -1 when it did not exit by itself
    int Wait() {
        if (child <= 0) return -1;
        int status = 0;
        pid_t waited;
        do {
            waited = waitpid(child, &status, 0);
        } while (waited < 0 && errno == EINTR);
        child = -1;
        if (waited < 0 || !WIFEXITED(status)) return -1;
        return WEXITSTATUS(status);
    }

    std::string Failure(int status) {
        std::string said;
        ReadFile(log, &said);
        std::string why = LastLine(said);
        if (why.empty()) why = status < 0 ? "it stopped" : "exit status " + std::to_string(status);
        return "ffmpeg could not write the " + name + " video: " + why;
    }

    // Ends ffmpeg if it still runs and removes the temporary folder
    void Stop() {
        if (toFfmpeg >= 0) close(toFfmpeg);
        toFfmpeg = -1;
        if (child > 0) {
            kill(child, SIGTERM);
            Wait();
        }
        if (!folder.empty()) {
            for (const std::string& file : {output, log}) unlink(file.c_str());
            rmdir(folder.c_str());
            folder.clear();
        }
    }

    std::string extension, name;
    std::vector<std::string> codecArguments;
    AnimationHeader header;
    std::string folder, output, log;
    pid_t child = -1;
    int toFfmpeg = -1;
    long long shownMs = 0;
    std::vector<unsigned char> rgb;  // the frame as ffmpeg reads it
};

}  // namespace

std::unique_ptr<AnimationEncoder> NewFfmpegVideoEncoder(
    const std::string& extension, const std::string& name,
    const std::vector<std::string>& codecArguments) {
    return std::make_unique<FfmpegVideoEncoder>(extension, name, codecArguments);
}

bool IsFfmpegInstalled() { return FoundOnPath(); }
