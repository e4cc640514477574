#pragma once
#include "ToolSession.h"
#include "ftp/IdComponent.h"
#include "ftp/IdText.h"

#include <iostream>

// The operations both engines name and mean alike, passed on to the engine.
template <typename Engine>
class TToolSessionOf : public TToolSession {
public:
    // The settings both engines take alike.
    explicit TToolSessionOf(const ToolOptions& options) : timeoutMs_(options.timeoutMs)
    {
        engine.Host = options.host;
        engine.Port = options.port;
        engine.Username = options.user;
        engine.Password = options.password;
        engine.ReadTimeout = options.timeoutMs;
        engine.TrustedFingerprint = options.trust;
        engine.NameCodec.SetChoice(options.nameEncoding);
        if (options.verbose)
            engine.OnStatus = [](TIdComponent*, TIdStatus, const std::string& text) {
                std::cerr << PrintableText(text) << '\n';
            };
    }

    void Quit() override { engine.Quit(); }
    std::string CurrentDirectory() override { return engine.CurrentDirectory(); }
    void ChangeDirectory(const std::string& directory) override { engine.ChangeDirectory(directory); }
    void ChangeToParent() override { engine.ChangeToParent(); }
    void MakeDirectory(const std::string& directory) override { engine.MakeDirectory(directory); }
    void RemoveDirectory(const std::string& directory) override { engine.RemoveDirectory(directory); }
    void DeleteFile(const std::string& name) override { engine.DeleteFile(name); }
    void RenameFile(const std::string& oldName, const std::string& newName) override
    {
        engine.RenameFile(oldName, newName);
    }
    void SiteCommand(const std::string& command) override { engine.SiteCommand(command); }
    int64_t FileSize(const std::string& name) override { return engine.FileSize(name); }
    bool ResumeSupported() override { return engine.ResumeSupported(); }
    void Get(const std::string& remote, const std::string& local, bool mayOverwrite, bool resume) override
    {
        engine.Get(remote, local, mayOverwrite, resume);
    }
    void Put(const std::string& local, const std::string& remote, bool append) override
    {
        engine.Put(local, remote, append);
    }
    const TIdFTPListItems& ListDirectory(const std::string& mask) override
    {
        engine.ListDirectory(mask);
        return engine.ParsedListing();
    }
    std::string SystemName() override { return engine.SystemName; }
    TNameCodec& NameCodec() override { return engine.NameCodec; }

protected:
    Engine engine;
    int timeoutMs_;
};
