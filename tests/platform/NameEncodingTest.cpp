// Remote name encodings: which one a listing is in, and names decoded and encoded so that no
// two server names ever show alike and every shown name leads back to its bytes.
#include "platform/NameCodec.h"
#include "platform/NameDetection.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const std::vector<std::string> PlaceNames{"東京", "大阪.txt", "京都", "北海道", "名古屋", "横浜_2024", "神戸",
                                          "福岡", "札幌", "広島", "仙台", "沖縄"};
const std::vector<std::string> OfficeNames{"会議資料.docx", "見積書.xlsx", "請求書_2024.pdf", "議事録.txt",
                                           "報告書.doc", "企画書.pptx", "売上集計.csv", "契約書.pdf",
                                           "予定表.xls", "名簿.csv", "おしらせ.txt", "申請書（控え）.doc"};
const std::vector<std::string> LoanWords{"データ.csv", "ファイル.txt", "バックアップ", "プレゼンテーション.pptx",
                                         "メモ.txt", "テスト", "サーバー", "ダウンロード", "イメージ.png"};
// Their second byte in Shift_JIS is a backslash or "|".
const std::vector<std::string> BackslashNames{"表.txt", "ソフト", "能力", "予算.xls", "十月", "ポイント",
                                              "構成表", "申し込み", "ボタン|"};
const std::vector<std::string> HalfWidthNames{"ﾃﾞｰﾀ.csv", "ﾌｧｲﾙ.txt", "ﾒﾓ.txt", "ﾊﾞｯｸｱｯﾌﾟ", "ﾃｽﾄ.txt",
                                              "ｻﾝﾌﾟﾙ", "ﾎﾟｲﾝﾄ.dat"};

std::vector<std::string> Encoded(TNameEncoding encoding, const std::vector<std::string>& names)
{
    std::vector<std::string> bytes;
    for (const std::string& name : names)
        bytes.push_back(EncodeName(encoding, name));
    return bytes;
}

std::vector<std::string_view> Views(const std::vector<std::string>& names)
{
    return {names.begin(), names.end()};
}

TNameEvidence Weigh(TNameEncoding encoding, const std::vector<std::string>& names)
{
    const std::vector<std::string> bytes = Encoded(encoding, names);
    return WeighNames(Views(bytes));
}

}  // namespace

TEST(NameDetection, EveryWordListIsReadInItsEncodingAsAWholeListingAndNameByName)
{
    const std::vector<std::vector<std::string>> lists{PlaceNames, OfficeNames, LoanWords, BackslashNames};
    for (const TNameEncoding encoding : {TNameEncoding::Utf8, TNameEncoding::ShiftJis, TNameEncoding::EucJp}) {
        for (const std::vector<std::string>& list : lists) {
            const TNameEvidence whole = Weigh(encoding, list);
            EXPECT_EQ(whole.best, encoding) << NameEncodingTitle(encoding) << ": " << list.front();
            EXPECT_EQ(whole.strength, TNameEvidence::TStrength::Decisive) << NameEncodingTitle(encoding) << ": " << list.front();
            for (const std::string& name : list)
                EXPECT_EQ(Weigh(encoding, {name}).best, encoding) << NameEncodingTitle(encoding) << ": " << name;
        }
    }
}

TEST(NameDetection, ShiftJisHalfWidthKatakanaIsNotTakenForEucJpKanji)
{
    EXPECT_EQ(Weigh(TNameEncoding::ShiftJis, HalfWidthNames).best, TNameEncoding::ShiftJis);
    for (const std::string& name : HalfWidthNames)
        EXPECT_EQ(Weigh(TNameEncoding::ShiftJis, {name}).best, TNameEncoding::ShiftJis) << name;
    // And EUC-JP kanji whose bytes all fall in the half-width katakana range stay kanji.
    EXPECT_EQ(Weigh(TNameEncoding::EucJp, {"山田"}).best, TNameEncoding::EucJp);
}

TEST(NameDetection, AsciiDecidesNothingAndUndecodableNamesLeaveTheEncodingThatReadsMost)
{
    EXPECT_EQ(WeighNames({"readme.txt", "pub", "a%b"}).strength, TNameEvidence::TStrength::None);

    std::vector<std::string> names = Encoded(TNameEncoding::ShiftJis, OfficeNames);
    names.push_back("\xFF\xFE broken");  // no encoding reads it
    const TNameEvidence evidence = WeighNames(Views(names));
    EXPECT_EQ(evidence.best, TNameEncoding::ShiftJis);
    EXPECT_TRUE(evidence.Readable(TNameEncoding::ShiftJis));
    EXPECT_FALSE(evidence.Readable(TNameEncoding::Utf8));
}

TEST(NameCodec, AConnectionKeepsWhatItLearnedUntilNamesProveOtherwise)
{
    TNameCodec codec;
    const std::vector<std::string> sjis = Encoded(TNameEncoding::ShiftJis, PlaceNames);
    codec.Observe({"pub", "readme.txt"});
    EXPECT_FALSE(codec.Settled());
    codec.Observe(Views(sjis));
    EXPECT_EQ(codec.Current(), TNameEncoding::ShiftJis);
    EXPECT_TRUE(codec.Settled());

    // An ASCII folder, and one ambiguous name, leave it.
    codec.Observe({"index.html"});
    const std::string eucYamada = EncodeName(TNameEncoding::EucJp, "山田");
    codec.Observe({eucYamada});
    EXPECT_EQ(codec.Current(), TNameEncoding::ShiftJis);
    EXPECT_EQ(codec.Decode(eucYamada), "ｻｳﾅﾄ");

    // UTF-8 announced by the server, until a listing it cannot read.
    codec.Restart();
    codec.ServerUsesUtf8();
    EXPECT_EQ(codec.Current(), TNameEncoding::Utf8);
    codec.Observe({"東京"});
    EXPECT_EQ(codec.Current(), TNameEncoding::Utf8);
    const std::vector<std::string> euc = Encoded(TNameEncoding::EucJp, OfficeNames);
    codec.Observe(Views(euc));
    EXPECT_EQ(codec.Current(), TNameEncoding::EucJp);

    // A profile's choice is never overruled.
    codec.SetChoice(TNameEncoding::ShiftJis);
    codec.ServerUsesUtf8();
    codec.Observe(Views(euc));
    EXPECT_EQ(codec.Current(), TNameEncoding::ShiftJis);
}

TEST(NameCodec, NamesDecodeSoThatNoTwoShowAlikeEachLeadsBackToItsBytesAndAMissingCharacterIsRefusedByName)
{
    TNameCodec codec;
    codec.SetChoice(TNameEncoding::ShiftJis);
    EXPECT_EQ(codec.Decode("\x95\x5C.txt"), "表.txt");
    EXPECT_EQ(codec.Decode("\x93\x8C\xFF%.txt"), "東%FF%25.txt");
    EXPECT_EQ(codec.ServerName("東%FF%25.txt"), "\x93\x8C\xFF%.txt");
    // A typed name with a "%" that no decoding made is text.
    EXPECT_EQ(codec.ServerName("100%AB.txt"), "100%AB.txt");
    // The NEC-selected and the IBM code of one kanji: only the canonical one shows as the kanji.
    EXPECT_NE(codec.Decode("\xED\x40"), codec.Decode("\xFA\x5C"));
    // A character the encoding lacks is refused by name.
    try {
        codec.ServerName("旅行😀.jpg");
        FAIL() << "an emoji went out in Shift_JIS";
    } catch (const ENameNotEncodable& error) {
        EXPECT_EQ(error.Character(), "😀");
        EXPECT_EQ(error.CodePoint(), U'\U0001F600');
        EXPECT_EQ(error.Encoding(), TNameEncoding::ShiftJis);
    }
    codec.SetChoice(TNameEncoding::Auto);
    EXPECT_EQ(codec.ServerName("旅行😀.jpg"), "旅行😀.jpg");
    // Before any listing tells, a typed path is tried in each encoding.
    const std::vector<std::string> forms = codec.ServerNameCandidates("/東京");
    EXPECT_EQ(forms, (std::vector<std::string>{"/東京", "/\x93\x8C\x8B\x9E", "/\xC5\xEC\xB5\xFE"}));

    std::mt19937 random(29);
    std::uniform_int_distribution<int> length(1, 12), byte(0, 255);
    for (const TNameEncoding encoding : {TNameEncoding::Utf8, TNameEncoding::ShiftJis, TNameEncoding::EucJp}) {
        codec.SetChoice(encoding);
        for (int round = 0; round < 3000; ++round) {
            std::string bytes(size_t(length(random)), '\0');
            for (char& c : bytes)
                c = char(byte(random) | (round % 2 ? 0x80 : 0));
            const std::string shown = codec.Decode(bytes);
            ASSERT_EQ(codec.ServerName(shown), bytes) << NameEncodingTitle(encoding) << ": " << shown;
        }
    }
}
