#pragma once
#include "service/RemoteEngine.h"

// The operations both engines name and mean alike, passed on to the engine.
template <class Engine>
class TRemoteEngineOver : public TRemoteEngine {
public:
    explicit TRemoteEngineOver(Engine& engine) : engine_(engine) {}

    bool Connected() override { return engine_.Connected(); }
    void Quit() override { engine_.Quit(); }
    void Disconnect() override { engine_.Disconnect(); }
    const std::string& Host() const override { return engine_.Host; }
    std::string SystemName() const override { return engine_.SystemName; }
    TNameCodec& NameCodec() override { return engine_.NameCodec; }

    std::string CurrentDirectory() override { return engine_.CurrentDirectory(); }
    void ChangeDirectory(const std::string& directory) override { engine_.ChangeDirectory(directory); }
    void ChangeToParent() override { engine_.ChangeToParent(); }
    void MakeDirectory(const std::string& directory) override { engine_.MakeDirectory(directory); }
    void RemoveDirectory(const std::string& directory) override { engine_.RemoveDirectory(directory); }
    void DeleteFile(const std::string& name) override { engine_.DeleteFile(name); }
    void RenameFile(const std::string& oldName, const std::string& newName) override
    {
        engine_.RenameFile(oldName, newName);
    }
    void SiteCommand(const std::string& command) override { engine_.SiteCommand(command); }

    int64_t FileSize(const std::string& name) override { return engine_.FileSize(name); }
    bool ResumeSupported() override { return engine_.ResumeSupported(); }
    std::optional<std::int64_t> ModificationTime(const std::string& name) override
    {
        return engine_.ModificationTime(name);
    }
    bool CanSetModificationTime() override { return engine_.CanSetModificationTime(); }
    bool SetModificationTime(const std::string& name, std::int64_t unixTime) override
    {
        return engine_.SetModificationTime(name, unixTime);
    }

protected:
    Engine& engine_;
};
