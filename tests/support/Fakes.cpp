#include "support/Fakes.h"

#include <sys/resource.h>
#include <QFile>
#include <QProcess>

#include <unistd.h>

#include <sys/fsuid.h>

#include <csignal>

namespace im::test {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
}

bool runningAsRoot() {
    return ::geteuid() == 0;
}

Finished runAsOtherUser(const QString& program, const QStringList& arguments) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    p.setProcessEnvironment(env);
    if (runningAsRoot()) {
        p.start(QStringLiteral("setpriv"),
                QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", "--", program} +
                    arguments);
    } else {
        p.start(program, arguments);
    }
    Finished f;
    if (p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit) {
        f.exitCode = p.exitCode();
    }
    f.errors = QString::fromLocal8Bit(p.readAllStandardError());
    return f;
}

// Sets the soft file size limit; returns the one before.
static unsigned long long setFileSizeLimit(unsigned long long bytes) {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const unsigned long long old = limit.rlim_cur;
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
    return old;
}

FileSizeLimit::FileSizeLimit(long long bytes) {
    std::signal(SIGXFSZ, SIG_IGN);  // fail the write with EFBIG instead
    oldSoft_ = setFileSizeLimit(static_cast<unsigned long long>(bytes));
}

FileSizeLimit::~FileSizeLimit() {
    setFileSizeLimit(oldSoft_);
}

// The file-system ids are the thread's own and drop the file capabilities
// of root while they differ from 0.
WithoutRootRights::WithoutRootRights() {
    if (runningAsRoot()) {
        setfsgid(65534);
        setfsuid(65534);
    }
}

WithoutRootRights::~WithoutRootRights() {
    if (runningAsRoot()) {
        setfsuid(0);
        setfsgid(0);
    }
}

bool sendSignal(const QProcess& process, int signal) {
    const qint64 pid = process.processId();
    return process.state() == QProcess::Running && pid > 0 &&
           ::kill(static_cast<pid_t>(pid), signal) == 0;
}

}  // namespace im::test
