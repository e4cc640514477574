#include "EngineSessions.h"
#include "fixtures/RandomBytes.h"

#include <gtest/gtest.h>
#include <thread>

namespace {

constexpr int Engines = 4;
constexpr int Files = 200;

std::string FileName(int engine, int file) {
    return "e" + std::to_string(engine) + "-" + std::to_string(file) + ".bin";
}

// Small files of different sizes, none a multiple of another's.
std::string FileContent(int engine, int file) {
    return RandomBytes(700 + static_cast<size_t>(file) * 13 + static_cast<size_t>(engine),
                       static_cast<unsigned>(engine * Files + file));
}

class ActiveMode : public ::testing::TestWithParam<bool> {};

}  // namespace

// Several connections to one server, each on its own thread, move many small files in active
// mode: every PORT (EPRT on IPv6) gets its reply and every file arrives byte for byte.
TEST_P(ActiveMode, SeveralEnginesOnThreadsMoveManySmallFilesByteExact) {
    FtpServer server({.ipv6 = GetParam()});
    for (int e = 0; e < Engines; ++e)
        for (int f = 0; f < Files; ++f) TempDir::WriteFile(server.File(FileName(e, f)), FileContent(e, f));
    TempDir local;

    std::vector<std::thread> threads;
    for (int e = 0; e < Engines; ++e) {
        threads.emplace_back([&, e] {
            int file = 0;
            try {
                TIdFTP ftp;
                AimAtServer(ftp, server.Host(), server.Port(), false);
                ftp.Connect(true, 5000);
                // Down, then each file back up under a new name, so both directions alternate.
                for (; file < Files; ++file) {
                    const std::string name = FileName(e, file);
                    ftp.Get(name, local.File(name), true);
                    ftp.Put(local.File(name), "up-" + name);
                }
                ftp.Disconnect();
            } catch (const std::exception& error) {
                ADD_FAILURE() << "engine " << e << ", file " << file << ": " << error.what();
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    ASSERT_FALSE(HasFailure());
    for (int e = 0; e < Engines; ++e)
        for (int f = 0; f < Files; ++f) {
            const std::string name = FileName(e, f);
            ASSERT_EQ(TempDir::ReadFile(local.File(name)), FileContent(e, f)) << name;
            ASSERT_EQ(TempDir::ReadFile(server.File("up-" + name)), FileContent(e, f)) << name;
        }
}

INSTANTIATE_TEST_SUITE_P(Families, ActiveMode, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "IPv6" : "IPv4"; });
