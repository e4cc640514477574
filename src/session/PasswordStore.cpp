#include "session/PasswordStore.h"

#include "platform/IniFile.h"

#include <QEventLoop>
#include <QTimer>
#include <qt6keychain/keychain.h>

#include <memory>

namespace {

const QString Service = QStringLiteral("Marlux");
// Long enough for a person to answer a locked keyring's unlock prompt; a keyring that does not
// answer in this time (a hung service) counts as none, so the dialog does not hang for good.
constexpr int KeyringTimeoutMs = 60000;

struct TJobResult {
    QKeychain::Error error = QKeychain::OtherError;
    QString text;
};

// Runs a keychain job to its end; the job deletes itself when it finishes.
TJobResult Run(QKeychain::Job* job)
{
    auto result = std::make_shared<TJobResult>();
    QEventLoop loop;
    QObject::connect(job, &QKeychain::Job::finished, &loop, [result, &loop](QKeychain::Job* done) {
        result->error = done->error();
        if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(done))
            result->text = read->textData();
        loop.quit();
    });
    QTimer::singleShot(KeyringTimeoutMs, &loop, &QEventLoop::quit);
    job->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);  // no command may start meanwhile
    return *result;
}

TJobResult ReadEntry(const QString& key)
{
    auto* job = new QKeychain::ReadPasswordJob(Service);
    job->setKey(key);
    return Run(job);
}

}  // namespace

TPasswordStore::TPasswordStore(QString settingsPath) : settingsPath_(std::move(settingsPath)) {}

QString TPasswordStore::Key(const std::string& section) const
{
    // Copies of the program with settings of their own keep their entries apart.
    return QString::fromStdString(section) + QStringLiteral(" (") + settingsPath_ + u')';
}

bool TPasswordStore::KeyringAvailable()
{
    if (!keyringAvailable_) {
        const QKeychain::Error error = ReadEntry(Key("CURRENT")).error;
        keyringAvailable_ = error == QKeychain::NoError || error == QKeychain::EntryNotFound;
    }
    return *keyringAvailable_;
}

std::optional<QString> TPasswordStore::Read(const TIniFile& settings, const std::string& section)
{
    if (KeyringAvailable()) {
        const TJobResult entry = ReadEntry(Key(section));
        if (entry.error == QKeychain::NoError)
            return entry.text;
    }
    if (!settings.ValueExists(section, "PWD"))
        return std::nullopt;
    return QString::fromStdString(settings.ReadString(section, "PWD", ""));
}

void TPasswordStore::Write(TIniFile& settings, const std::string& section, const QString& password)
{
    if (KeyringAvailable()) {
        auto* job = new QKeychain::WritePasswordJob(Service);
        job->setKey(Key(section));
        job->setTextData(password);
        if (Run(job).error == QKeychain::NoError) {
            settings.DeleteKey(section, "PWD");
            return;
        }
    }
    settings.WriteString(section, "PWD", password.toStdString());
}

void TPasswordStore::Forget(const std::string& section)
{
    if (!KeyringAvailable())
        return;
    auto* job = new QKeychain::DeletePasswordJob(Service);
    job->setKey(Key(section));
    Run(job);
}

QString TPasswordStore::PlaceText()
{
    return KeyringAvailable() ? QStringLiteral("保存したパスワードはデスクトップのキーリングに入ります")
                              : QStringLiteral("保存したパスワードは設定ファイル Marlux.ini に入ります");
}
