#include "app/JournalOpening.h"

#include "core/ErrorReport.h"
#include "journal/JournalFiles.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTimer>

namespace im::app {

namespace {

// Files up to this size (several days of records) open at once.
constexpr qint64 kReadAtOnce = 24 << 20;

}  // namespace

JournalOpening::JournalOpening(journal::JournalStore& journal, journal::ValueDigest& digest,
                               QWidget* window)
    : journal_(journal),
      digest_(digest),
      window_(window),
      loader_(new journal::JournalLoader(window)) {}

void JournalOpening::open(const QString& path, const QString& title, std::function<void()> opened) {
    if (QFileInfo(path).size() <= kReadAtOnce) {
        journal_.setFileBytes(journal::readJournalFile(path));
        opened();
        return;
    }
    auto* progress = new QProgressDialog(
        QCoreApplication::translate("JournalOpening", "Открытие файла ") +
            QFileInfo(path).fileName() + QStringLiteral("..."),
        QCoreApplication::translate("JournalOpening", "Отмена"), 0, 100, window_);
    progress->setWindowTitle(title);
    // Wide enough for its title: window managers cut a title to the window.
    progress->setMinimumWidth(progress->fontMetrics().horizontalAdvance(title) * 2 + 120);
    progress->setWindowModality(Qt::ApplicationModal);
    progress->setMinimumDuration(0);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    auto* poll = new QTimer(progress);
    QObject::connect(poll, &QTimer::timeout, progress,
                     [this, progress] { progress->setValue(int(loader_->progress() * 99)); });
    poll->start(100);
    QObject::connect(progress, &QProgressDialog::canceled, loader_, [this, progress] {
        loader_->cancel();
        progress->deleteLater();
    });
    progress->show();
    loader_->start(
        path, digest_.separator(),
        [this, progress, opened = std::move(opened)](journal::JournalLoader::Result result) {
            progress->deleteLater();
            core::runGuarded([&] {
                if (!result.text) {
                    throw core::Error(result.error);
                }
                journal_.takeTextOf(*result.text);
                digest_ = std::move(*result.digest);
                opened();
            });
        });
}

}  // namespace im::app
