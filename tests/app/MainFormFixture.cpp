#include "MainFormFixture.h"

#include <QDir>
#include <QEventLoop>
#include <QTimer>

#include <cstdlib>
#include <fstream>

MainFormTest::MainFormTest() : savedWorkingDirectory_(QDir::currentPath())
{
    setenv("MARLUX_HOME", home_.Path().c_str(), 1);
    QDir::setCurrent(QString::fromStdString(work_.Path()));
}

MainFormTest::~MainFormTest()
{
    if (form_)
        CloseWindow();
    QDir::setCurrent(savedWorkingDirectory_);
    unsetenv("MARLUX_HOME");
}

TMainForm& MainFormTest::Open(const QStringList& arguments)
{
    form_ = std::make_unique<TMainForm>(arguments);
    auto dialogs = std::make_unique<TScriptedDialogs>();
    dialogs_ = dialogs.get();
    form_->SetDialogs(std::move(dialogs));
    return *form_;
}

void MainFormTest::CloseWindow()
{
    form_->close();
    form_.reset();
    dialogs_ = nullptr;
}

void MainFormTest::WriteHomeFile(const std::string& name, const std::string& content) const
{
    TempDir::WriteFile(home_.File(name), content);
}

std::vector<std::pair<std::string, std::string>> MainFormTest::SectionEntries(const std::string& section) const
{
    std::vector<std::pair<std::string, std::string>> entries;
    std::ifstream in(home_.File("Marlux.ini"));
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inside = line == "[" + section + "]";
            continue;
        }
        const auto equals = line.find('=');
        if (inside && equals != std::string::npos)
            entries.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    return entries;
}

std::string MainFormTest::IniValue(const std::string& section, const std::string& key) const
{
    for (const auto& [name, value] : SectionEntries(section))
        if (name == key)
            return value;
    return "<missing>";
}

void MainFormTest::Pump(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void MainFormTest::AimAtLoopback(TIdFTP& ftp, int port)
{
    ftp.Host = "127.0.0.1";
    ftp.Port = port;
    ftp.Username = "user";
    ftp.Password = "secret";
}
