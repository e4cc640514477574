#include "ftp/IdLineEnds.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// The data in three chunks, cut at `first` and `second`, converted chunk by chunk.
template <typename Converter>
std::string ConvertedInChunks(Converter& converter, const std::string& data, std::size_t first, std::size_t second)
{
    std::string out;
    for (const auto& [from, to] : {std::pair{std::size_t(0), first}, {first, second}, {second, data.size()}})
        out += converter.Convert(data.data() + from, to - from);
    return out;
}

// CR LF becomes LF wherever the chunks are cut (a chunk of a lone CR included); a CR not
// followed by LF stays, also at the end of complete data. Data cut short ends before its CR.
TEST(LineEnds, DownloadTurnsCrLfIntoLfWhereverTheDataIsCut)
{
    const std::string wire = "a\r\nb\rc\r\r\nd\n\r\n\r\r";
    const std::string local = "a\nb\rc\r\nd\n\n\r\r";
    for (std::size_t first = 0; first <= wire.size(); ++first)
        for (std::size_t second = first; second <= wire.size(); ++second) {
            TIdLineEndsToLocal converter;
            const std::string cut = ConvertedInChunks(converter, wire, first, second);
            EXPECT_EQ(cut, local.substr(0, local.size() - 1)) << first << ", " << second;
            EXPECT_EQ(cut + std::string(converter.Finish()), local) << first << ", " << second;
        }
}

// LF becomes CR LF wherever the chunks are cut; a CR LF already there stays CR LF, a lone CR
// stays a CR.
TEST(LineEnds, UploadTurnsLfIntoCrLfAndLeavesCrLfAlone)
{
    const std::string local = "a\nb\r\nc\rd\n\ne\r";
    const std::string wire = "a\r\nb\r\nc\rd\r\n\r\ne\r";
    for (std::size_t first = 0; first <= local.size(); ++first)
        for (std::size_t second = first; second <= local.size(); ++second) {
            TIdLineEndsToWire converter;
            EXPECT_EQ(ConvertedInChunks(converter, local, first, second), wire) << first << ", " << second;
        }
}

}  // namespace
