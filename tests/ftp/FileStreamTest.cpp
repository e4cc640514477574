#include "fixtures/RandomBytes.h"
#include "fixtures/TempDir.h"
#include "ftp/IdStream.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

// Chunk sizes that straddle the stream's blocks in every way.
const size_t Chunks[] = {1, 8196, TIdFileStream::BlockBytes - 1, TIdFileStream::BlockBytes, 3 * TIdFileStream::BlockBytes + 7};

// Appending (a resumed download) adds after the bytes already there.
TEST(FileStream, BytesWrittenReadAndAppendedInAnyChunkSizeComeBackExactlyWithTheRightPositions)
{
    TempDir dir;
    const std::string bytes = RandomBytes(2 * TIdFileStream::BlockBytes + 12345, 11);
    for (const size_t chunk : Chunks) {
        SCOPED_TRACE(chunk);
        TIdFileStream out;
        out.Create(dir.File("f"));
        for (size_t at = 0; at < bytes.size(); at += chunk) {
            out.Write(bytes.data() + at, std::min(chunk, bytes.size() - at));
            EXPECT_EQ(out.Position(), int64_t(std::min(at + chunk, bytes.size())));
        }
        out.Flush();
        out.Close();
        EXPECT_EQ(TempDir::ReadFile(dir.File("f")), bytes);

        TIdFileStream in;
        in.OpenRead(dir.File("f"));
        std::string back;
        std::string buffer(chunk, '\0');
        while (const size_t n = in.Read(buffer.data(), chunk)) {
            back.append(buffer, 0, n);
            EXPECT_EQ(in.Position(), int64_t(back.size()));
        }
        EXPECT_EQ(back, bytes);
        TIdFileStream append;
        append.OpenAppend(dir.File("f"));
        append.Write("tail", 4);
        append.Close();
        EXPECT_TRUE(TempDir::ReadFile(dir.File("f")) == bytes + "tail");
    }
}

TEST(FileStream, AFullDiskRaisesWhenTheGatheredBytesAreWritten)
{
    TempDir dir;
    const std::string bytes = RandomBytes(4 * TIdFileStream::BlockBytes, 12);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = TIdFileStream::BlockBytes + 100;
    setrlimit(RLIMIT_FSIZE, &small);
    TIdFileStream out;
    out.Create(dir.File("f"));
    EXPECT_THROW(
        {
            out.Write(bytes.data(), bytes.size());
            out.Flush();
        },
        EStreamError);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
}

}  // namespace
