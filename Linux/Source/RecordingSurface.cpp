#include "RecordingSurface.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "DemoSys/Presentation.h"
#include "DemoSys/Timeline.h"
#include "LinuxApplicationMain.h"
#include "PlatformClock.h"

extern char** environ;

namespace {

// The one encoder, reachable from the exit handler.
struct Encoder {
    pid_t pid = -1;
    int input = -1;         // our end of ffmpeg's standard input
    FILE* log = nullptr;    // ffmpeg's standard error
    std::string videoPath;  // the final name
    std::string partialPath;
    long frames = 0;
};
Encoder gEncoder;

struct Container {
    const char* extension;
    const char* format;
};
const Container kContainers[] = {{".mp4", "mp4"}, {".mkv", "matroska"}, {".mov", "mov"}};

std::string FindOnPath(const std::string& program) {
    const char* path = getenv("PATH");
    if (!path) return "";
    const std::string entries(path);
    size_t start = 0;
    while (start <= entries.size()) {
        size_t end = entries.find(':', start);
        if (end == std::string::npos) end = entries.size();
        const std::string dir = end > start ? entries.substr(start, end - start) : ".";
        const std::string candidate = dir + "/" + program;
        struct stat info {};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return "";
}

void ReportFailure(const std::string& videoPath, const std::string& reason) {
    fprintf(stderr, "kestrel: cannot record to %s: %s\n", videoPath.c_str(), reason.c_str());
}

// The first line ffmpeg wrote, which names the cause; its status otherwise.
std::string EncoderReason(FILE* log, int status) {
    char line[512];
    if (log) {
        rewind(log);
        while (fgets(line, sizeof line, log)) {
            line[strcspn(line, "\r\n")] = '\0';
            if (line[0]) return line;
        }
    }
    if (WIFSIGNALED(status)) return "ffmpeg was killed by signal " + std::to_string(WTERMSIG(status));
    return "ffmpeg ended with status " + std::to_string(WEXITSTATUS(status));
}

// Starts ffmpeg in its own process group, so a Ctrl-C at the terminal reaches
// only this program, which then ends the video properly. Answers an errno.
int SpawnEncoder(const std::string& ffmpeg, const std::vector<std::string>& arguments, int input, int log) {
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_adddup2(&files, input, 0);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&files, log, 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const int result = posix_spawn(&gEncoder.pid, ffmpeg.c_str(), &files, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&files);
    if (result != 0) gEncoder.pid = -1;
    return result;
}

// Everything that can fail before a frame exists: answers the reason.
std::string StartEncoder(const std::string& videoPath, const std::string& musicPath, double frameRate,
                         double startTime, RecordingSurface::Frame frame) {
    const char* container = RecordingSurface::ContainerFor(videoPath);
    if (!container) return std::string("the name does not end in ") + RecordingSurface::kContainerNames;
    const std::string ffmpeg = FindOnPath("ffmpeg");
    if (ffmpeg.empty()) return "ffmpeg is not on PATH";
    std::error_code error;
    if (std::filesystem::is_directory(videoPath, error)) return "it is a directory";
    const std::filesystem::path parent = std::filesystem::path(videoPath).parent_path();
    if (!parent.empty() && !std::filesystem::create_directories(parent, error) && error) return error.message();

    const std::string partial = videoPath + ".partial";
    const int probe = open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (probe < 0) return std::string(strerror(errno));
    close(probe);

    int ends[2];
    FILE* log = tmpfile();
    if (!log || socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        const std::string reason = strerror(errno);
        if (log) fclose(log);
        remove(partial.c_str());
        return reason;
    }
    fcntl(fileno(log), F_SETFD, FD_CLOEXEC);
    struct stat music {};
    const std::string withMusic = stat(musicPath.c_str(), &music) == 0 ? musicPath : "";
    const int result = SpawnEncoder(
        ffmpeg, RecordingSurface::EncoderArguments(partial, container, withMusic, frameRate, frame, startTime), ends[1], fileno(log));
    close(ends[1]);
    if (result != 0) {
        close(ends[0]);
        fclose(log);
        remove(partial.c_str());
        return std::string("cannot start ffmpeg: ") + strerror(result);
    }
    gEncoder.input = ends[0];
    gEncoder.log = log;
    gEncoder.videoPath = videoPath;
    gEncoder.partialPath = partial;
    return "";
}

}  // namespace

const char* RecordingSurface::ContainerFor(const std::string& videoPath) {
    const size_t slash = videoPath.rfind('/');
    const std::string name = slash == std::string::npos ? videoPath : videoPath.substr(slash + 1);
    for (const Container& c : kContainers) {
        const size_t length = strlen(c.extension);
        // A name that is only an extension names no file of its own.
        if (name.size() > length && name.compare(name.size() - length, length, c.extension) == 0) return c.format;
    }
    return nullptr;
}

int RecordingSurface::Frame::Width() const {
    return static_cast<int>(std::lround(static_cast<float>(Presentation::PictureSize(upright).width) * renderScale));
}

int RecordingSurface::Frame::Height() const {
    return static_cast<int>(std::lround(static_cast<float>(Presentation::PictureSize(upright).height) * renderScale));
}

std::vector<std::string> RecordingSurface::EncoderArguments(const std::string& outputPath, const char* container,
                                                            const std::string& musicPath, double frameRate,
                                                            Frame frame, double musicStart) {
    char rate[32];
    snprintf(rate, sizeof rate, "%g", frameRate);
    const std::string size = std::to_string(frame.Width()) + "x" + std::to_string(frame.Height());
    std::vector<std::string> arguments = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "rawvideo",
                                          "-pix_fmt", "rgba", "-s", size, "-r", rate, "-i", "pipe:0"};
    const bool withMusic = !musicPath.empty();
    if (withMusic && musicStart > 0.0) {
        char start[32];
        snprintf(start, sizeof start, "%.6f", musicStart);
        arguments.insert(arguments.end(), {"-ss", start});
    }
    if (withMusic) arguments.insert(arguments.end(), {"-i", "file:" + musicPath});
    arguments.insert(arguments.end(), {"-c:v", "libx264", "-preset", "veryfast", "-crf", "18", "-pix_fmt", "yuv420p"});
    if (withMusic) arguments.insert(arguments.end(), {"-c:a", "aac", "-b:a", "192k", "-shortest"});
    arguments.insert(arguments.end(), {"-f", container, "file:" + outputPath});
    return arguments;
}

std::unique_ptr<RecordingSurface> RecordingSurface::Create(std::unique_ptr<DisplaySurface>& inner,
                                                           const std::string& videoPath, const std::string& musicPath,
                                                           double frameRate, double startTime, Frame frame,
                                                           std::function<double()> frameTime) {
    const std::string reason = StartEncoder(videoPath, musicPath, frameRate, startTime, frame);
    if (!reason.empty()) {
        ReportFailure(videoPath, reason);
        return nullptr;
    }
    return std::unique_ptr<RecordingSurface>(new RecordingSurface(std::move(inner), frame, startTime, std::move(frameTime)));
}

RecordingSurface::RecordingSurface(std::unique_ptr<DisplaySurface> inner, Frame frame, double startTime,
                                   std::function<double()> frameTime)
    : mInner(std::move(inner)),
      mFrameTime(std::move(frameTime)),
      mPicture(frame.upright),
      mStartTime(startTime),
      mNextReport(startTime + 5.0),
      mStarted(PlatformClock::Monotonic()) {
    atexit(FinishAtExit);
}

// Only an error unwinding the host gets here: what was recorded is dropped.
RecordingSurface::~RecordingSurface() { Finish(false); }

void RecordingSurface::FinishAtExit() { Finish(true); }

bool RecordingSurface::Finish(bool keep) {
    if (gEncoder.pid < 0) return true;
    close(gEncoder.input);
    int status = 0;
    while (waitpid(gEncoder.pid, &status, 0) < 0 && errno == EINTR) {
    }
    gEncoder.pid = -1;
    std::string reason;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) reason = EncoderReason(gEncoder.log, status);
    else if (keep && rename(gEncoder.partialPath.c_str(), gEncoder.videoPath.c_str()) != 0) reason = strerror(errno);
    fclose(gEncoder.log);
    if (!reason.empty() || !keep) remove(gEncoder.partialPath.c_str());
    if (!keep) return false;
    if (!reason.empty()) {
        ReportFailure(gEncoder.videoPath, reason);
        NoteOutputFailure();
        return false;
    }
    fprintf(stderr, "kestrel: recording finished: %s (%ld frames)\n", gEncoder.videoPath.c_str(), gEncoder.frames);
    return true;
}

void RecordingSurface::AbandonFromSignal() {
    if (gEncoder.pid < 0) return;
    kill(gEncoder.pid, SIGKILL);
    unlink(gEncoder.partialPath.c_str());
}

bool RecordingSurface::SendAll(int socket, const unsigned char* data, size_t size) {
    while (size > 0) {
        // A closed encoder must not end the process by SIGPIPE.
        const ssize_t sent = send(socket, data, size, MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

bool RecordingSurface::Present(unsigned int colourTexture, int width, int height) {
    // The last present of a refresh is the frame the viewer sees.
    mPicture.ReadBound(width, height);
    mPending = true;
    return mInner->Present(colourTexture, width, height);
}

void RecordingSurface::FormatProgress(char* line, size_t size, double showSeconds, long frames,
                                      double elapsedSeconds, double startSeconds) {
    const double share = std::min(1.0, (showSeconds - startSeconds) / (kShowEnd - startSeconds));
    const long left = share > 0.0 ? std::lround(elapsedSeconds * (1.0 - share) / share) : 0;
    snprintf(line, size, "kestrel: recorded %.0f s of the show (%ld frames, %.0f%%), about %ld min %02ld s left",
             showSeconds - startSeconds, frames, 100.0 * share, left / 60, left % 60);
}

void RecordingSurface::EndRefresh() {
    mInner->EndRefresh();
    if (!mPending || gEncoder.pid < 0) return;
    mPending = false;
    if (!SendAll(gEncoder.input, mPicture.Pixels(), mPicture.Bytes())) {
        // An encoder that ended on its own with a whole video leaves the show playing.
        if (!Finish(true)) exit(1);
        return;
    }
    ++gEncoder.frames;
    const double now = mFrameTime();
    if (now >= mNextReport) {
        char line[160];
        FormatProgress(line, sizeof line, now, gEncoder.frames, PlatformClock::Monotonic() - mStarted, mStartTime);
        fprintf(stderr, "%s\n", line);
        mNextReport += 5.0;
    }
}
