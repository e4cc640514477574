#include "session/PasswordStore.h"

#include "platform/IniFile.h"
#include "settings/UserDialogs.h"

#include <QPointer>
#include <QTimer>
#include <qt6keychain/keychain.h>

#include <memory>
#include <utility>

namespace {

const QString Service = QStringLiteral("Marlux");
const std::string PasswordKey = "PWD";

}  // namespace

struct TPasswordStore::TJobResult {
    QKeychain::Error error = QKeychain::OtherError;
    QString text;
};

TPasswordStore::TPasswordStore(QString settingsPath, TUserDialogs& dialogs, int timeLimitMs)
    : settingsPath_(std::move(settingsPath)), dialogs_(dialogs), timeLimitMs_(timeLimitMs)
{
    ReadEntry("CURRENT", [this](const TJobResult& probe) {
        keyringAvailable_ = probe.error == QKeychain::NoError || probe.error == QKeychain::EntryNotFound;
        emit Probed();
    });
}

QString TPasswordStore::Key(const std::string& section) const
{
    // Copies of the program with settings of their own keep their entries apart.
    return QString::fromStdString(section) + QStringLiteral(" (") + settingsPath_ + u')';
}

void TPasswordStore::Run(QKeychain::Job* job, std::function<void(const TJobResult&)> done)
{
    // Whichever comes first, the job's end or the time limit, decides; the other finds it taken.
    auto pending = std::make_shared<std::function<void(const TJobResult&)>>(std::move(done));
    const auto finish = [pending](const TJobResult& result) {
        if (const auto call = std::exchange(*pending, nullptr))
            call(result);
    };
    connect(job, &QKeychain::Job::finished, this, [finish](QKeychain::Job* ended) {
        TJobResult result{ended->error(), {}};
        if (const auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(ended))
            result.text = read->textData();
        finish(result);
    });
    // Goes with the job, which deletes itself when it ends.
    auto* limit = new QTimer(job);
    limit->setSingleShot(true);
    connect(limit, &QTimer::timeout, this, [this, finish] {
        // A hung keyring also holds up every job queued behind this one.
        keyringAvailable_ = false;
        finish({});
    });
    limit->start(timeLimitMs_);
    job->start();
}

void TPasswordStore::ReadEntry(const std::string& section, std::function<void(const TJobResult&)> done)
{
    auto* job = new QKeychain::ReadPasswordJob(Service);
    job->setKey(Key(section));
    Run(job, std::move(done));
}

void TPasswordStore::WhenProbed(QObject* context, std::function<void()> then)
{
    if (keyringAvailable_)
        then();
    else
        connect(this, &TPasswordStore::Probed, context, std::move(then), Qt::SingleShotConnection);
}

std::optional<QString> TPasswordStore::ReadPwd(const std::string& section) const
{
    const TIniFile settings(settingsPath_.toStdString());
    if (!settings.ValueExists(section, PasswordKey))
        return std::nullopt;
    return QString::fromStdString(settings.ReadString(section, PasswordKey, ""));
}

void TPasswordStore::Read(const std::string& section, QObject* context, TReadDone done)
{
    WhenProbed(context, [this, section, context, done = std::move(done)] {
        if (!*keyringAvailable_) {
            done(ReadPwd(section));
            return;
        }
        ReadEntry(section, [this, section, guard = QPointer<QObject>(context), done](const TJobResult& entry) {
            if (!guard)
                return;
            done(entry.error == QKeychain::NoError ? std::optional<QString>(entry.text) : ReadPwd(section));
        });
    });
}

void TPasswordStore::ChangeSettingsLater(const std::function<void()>& change) const
{
    // Nobody is left to catch it: the command that asked has moved on.
    try {
        change();
    } catch (const EIniWriteError& error) {
        dialogs_.ShowMessage(QString::fromStdString(error.what()));
    }
}

void TPasswordStore::Write(const std::string& section, const QString& password)
{
    const auto writePwd = [path = settingsPath_.toStdString(), section, password] {
        TIniFile(path).WriteString(section, PasswordKey, password.toStdString());
    };
    if (keyringAvailable_ == false) {
        writePwd();
        return;
    }
    WhenProbed(this, [this, section, password, writePwd] {
        if (!*keyringAvailable_) {
            ChangeSettingsLater(writePwd);
            return;
        }
        auto* job = new QKeychain::WritePasswordJob(Service);
        job->setKey(Key(section));
        job->setTextData(password);
        Run(job, [this, section, writePwd](const TJobResult& result) {
            ChangeSettingsLater([&] {
                if (result.error != QKeychain::NoError) {
                    writePwd();
                    return;
                }
                // The settings file is opened again: the one the caller wrote with is long gone.
                TIniFile settings(settingsPath_.toStdString());
                if (settings.ValueExists(section, PasswordKey))
                    settings.DeleteKey(section, PasswordKey);
            });
        });
    });
}

void TPasswordStore::Forget(const std::string& section)
{
    WhenProbed(this, [this, section] {
        if (!*keyringAvailable_)
            return;
        auto* job = new QKeychain::DeletePasswordJob(Service);
        job->setKey(Key(section));
        Run(job, [](const TJobResult&) {});
    });
}

QString TPasswordStore::PlaceText() const
{
    if (!keyringAvailable_)
        return {};
    return *keyringAvailable_ ? QStringLiteral("保存したパスワードはデスクトップのキーリングに入ります")
                              : QStringLiteral("保存したパスワードは設定ファイル Marlux.ini に入ります");
}
