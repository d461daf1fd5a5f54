// incubator-sim: a controller simulator. It sends one 9-byte telemetry frame
// at a time, with a pause between frames, from a small incubator model, and
// injects the faults it is asked for. Without a device it opens a
// pseudo-terminal and prints the path of its slave side first.

#include "IncubatorModel.h"
#include "common/PseudoTerminal.h"
#include "journal/RecordLine.h"
#include "link/TelemetryFrame.h"

#include <QByteArray>
#include <QDateTime>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

std::atomic<bool> stopRequested{false};

void onSignal(int) {
    stopRequested = true;
}

struct Options {
    std::string device;
    long periodMs = 1000;
    long count = -1;
    unsigned seed = 1;
    long badChecksumEvery = 0;
    long splitEvery = 0;
    long silenceEvery = 0;
    long silenceMs = 0;
    long excursionEvery = im::sim::IncubatorModel::kExcursionEvery;
    long journalDays = 0;
};

// What --help prints; help2man makes the manual page from it.
constexpr char kUsage[] =
    "Usage: incubator-sim [DEVICE] [OPTION]...\n"
    "  or:  incubator-sim --journal DAYS [--seed N] [--excursion-every SECONDS]\n"
    "Plays an egg incubator's controller: sends its 9-byte telemetry frames, one\n"
    "every period, from a small incubator model, to DEVICE at 4800 bit/s, 8 data\n"
    "bits, no parity, 2 stop bits. Without DEVICE it opens a pseudo-terminal and\n"
    "prints the path of its other end as the first line. A frame is a second of\n"
    "the controller's life.\n"
    "\n"
    "Options:\n"
    "  --period MS                pause between frames (default 1000)\n"
    "  --count N                  send N frames, then end (default: until SIGINT\n"
    "                             or SIGTERM)\n"
    "  --seed N                   seed of the model's chance events (default 1)\n"
    "  --bad-checksum-every N     spoil the checksum of every Nth frame\n"
    "  --split-every N            send every Nth frame in two pieces, 100 ms apart\n"
    "  --silence-every N:MS       stay silent MS milliseconds after every N frames\n"
    "  --excursion-every SECONDS  how often the heater sticks and T1 passes the\n"
    "                             alarm band (default about every %ld s)\n"
    "  --journal DAYS             send nothing: write DAYS days of record lines, a\n"
    "                             line a second ending last midnight, to standard\n"
    "                             output, a journal for the monitor to open\n"
    "  -h, --help                 print this help and end\n"
    "  --version                  print the version and end\n";

// --help prints the usage on standard output and ends well; a mistake
// prints the reason and the usage on standard error and ends with 2.
[[noreturn]] void usage(const char* message) {
    std::FILE* out = message ? stderr : stdout;
    if (message) {
        std::fprintf(stderr, "incubator-sim: %s\n", message);
    }
    std::fprintf(out, kUsage, im::sim::IncubatorModel::kExcursionEvery);
    std::exit(message ? 2 : std::fflush(stdout) == 0 ? 0 : 1);
}

long number(const char* text, const char* option) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < 0) {
        std::fprintf(stderr, "incubator-sim: %s needs a whole number, not '%s'\n", option, text);
        std::exit(2);
    }
    return value;
}

Options parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                usage((arg + " needs a value").c_str());
            }
            return argv[++i];
        };
        if (arg == "--period") {
            o.periodMs = number(value(), "--period");
        } else if (arg == "--count") {
            o.count = number(value(), "--count");
        } else if (arg == "--seed") {
            o.seed = static_cast<unsigned>(number(value(), "--seed"));
        } else if (arg == "--bad-checksum-every") {
            o.badChecksumEvery = number(value(), "--bad-checksum-every");
        } else if (arg == "--split-every") {
            o.splitEvery = number(value(), "--split-every");
        } else if (arg == "--silence-every") {
            const std::string v = value();
            const auto colon = v.find(':');
            if (colon == std::string::npos) {
                usage("--silence-every takes N:MS");
            }
            o.silenceEvery = number(v.substr(0, colon).c_str(), "--silence-every");
            o.silenceMs = number(v.substr(colon + 1).c_str(), "--silence-every");
        } else if (arg == "--excursion-every") {
            o.excursionEvery = number(value(), "--excursion-every");
        } else if (arg == "--journal") {
            o.journalDays = number(value(), "--journal");
        } else if (arg == "-h" || arg == "--help") {
            usage(nullptr);
        } else if (arg == "--version") {
            std::printf("incubator-sim %s\n", IM_VERSION);
            std::exit(std::fflush(stdout) == 0 ? 0 : 1);
        } else if (!arg.empty() && arg[0] == '-') {
            usage(("unknown option " + arg).c_str());
        } else if (o.device.empty()) {
            o.device = arg;
        } else {
            usage("only one device");
        }
    }
    return o;
}

void sleepMs(long ms) {
    timespec t{ms / 1000, (ms % 1000) * 1000000L};
    while (!stopRequested && nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

// The controller's line: 4800 bit/s, 8 data bits, no parity, 2 stop bits, raw.
void configureLine(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) {
        return;  // not a terminal: a plain file or pipe takes the bytes as they are
    }
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD | CSTOPB;
    cfsetispeed(&t, B4800);
    cfsetospeed(&t, B4800);
    tcsetattr(fd, TCSANOW, &t);
}

bool writeAll(int fd, const unsigned char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno == EAGAIN) {
                pollfd p{fd, POLLOUT, 0};
                poll(&p, 1, 100);
                continue;
            }
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Days of the controller's life as the monitor records them: a record line
// a second, in the locale's form, ending at the last midnight.
int writeJournal(const Options& o) {
    im::sim::IncubatorModel model(o.seed, o.excursionEvery);
    QDateTime at(QDate::currentDate().addDays(-o.journalDays), QTime(0, 0));
    QByteArray out;
    for (long n = 0; n < o.journalDays * 86400L; ++n) {
        const im::link::DecodedFrame d = im::link::decodeFrame(model.step());
        out += im::journal::makeRecordLine(d.t1, d.t2, d.t3, d.hm,
                                           im::link::outputsString(d.outputs), at)
                   .toUtf8();
        out += "\r\n";
        at = at.addSecs(1);
        if (out.size() > (1 << 20)) {
            std::fwrite(out.constData(), 1, std::size_t(out.size()), stdout);
            out.clear();
        }
    }
    std::fwrite(out.constData(), 1, std::size_t(out.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const Options o = parse(argc, argv);
    if (o.journalDays > 0) {
        return writeJournal(o);
    }
    std::signal(SIGPIPE, SIG_IGN);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    int out = -1;
    int slave = -1;  // held open so the line stays raw and writes never fail
    im::tools::PseudoTerminal pty;
    if (o.device.empty()) {
        if (!pty.isOpen()) {
            std::perror("incubator-sim: pseudo-terminal");
            return 1;
        }
        out = pty.masterFd();
        slave = pty.keeperFd();
        fcntl(out, F_SETFL, O_NONBLOCK);
        std::printf("%s\n", pty.slavePath().toLocal8Bit().constData());
        std::fflush(stdout);
    } else {
        out = open(o.device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (out < 0) {
            std::fprintf(stderr, "incubator-sim: cannot open %s: %s\n", o.device.c_str(),
                         std::strerror(errno));
            return 1;
        }
        configureLine(out);
    }

    im::sim::IncubatorModel model(o.seed, o.excursionEvery);
    for (long n = 1; (o.count < 0 || n <= o.count) && !stopRequested; ++n) {
        im::link::Frame frame = model.step();
        if (o.badChecksumEvery > 0 && n % o.badChecksumEvery == 0) {
            frame[8] ^= 0x01;
        }
        if (slave >= 0) {
            // Nobody reads a serial line's past: when the listener is away the
            // frames are lost, not queued up for it.
            int waiting = 0;
            pollfd p{out, POLLOUT, 0};
            if (poll(&p, 1, 0) == 0 || (ioctl(slave, FIONREAD, &waiting) == 0 && waiting > 1024)) {
                tcflush(slave, TCIFLUSH);
            }
        }
        bool ok;
        if (o.splitEvery > 0 && n % o.splitEvery == 0) {
            ok = writeAll(out, frame.data(), 4);
            sleepMs(100);
            ok = ok && writeAll(out, frame.data() + 4, 5);
        } else {
            ok = writeAll(out, frame.data(), frame.size());
        }
        if (!ok) {
            std::fprintf(stderr, "incubator-sim: write failed: %s\n", std::strerror(errno));
            return 1;
        }
        if (o.silenceEvery > 0 && n % o.silenceEvery == 0) {
            sleepMs(o.silenceMs);
        }
        if (o.count < 0 || n < o.count) {
            sleepMs(o.periodMs);
        }
    }
    // Closing a pseudo-terminal discards what its reader has not taken yet.
    if (!stopRequested) {
        sleepMs(o.periodMs > 300 ? o.periodMs : 300);
    }
    if (!pty.isOpen()) {
        close(out);
    }
    return 0;
}
