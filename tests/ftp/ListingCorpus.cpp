// The corpus: lines captured from pyftpdlib and vsftpd on loopback (7 December 2026, the same
// folder served by both), and lines of other servers written from what they are documented to
// send (IIS in both year modes, Windows shares, GNU ls time styles, Japanese and European
// locales, BSD and macOS, Solaris devices, columns too narrow for their values).
#include "ListingCorpus.h"

#include <cstdint>

const TDateParts CorpusToday{2026, 12, 7, 10, 0, 0, 0};

namespace {

constexpr const char* Py = "pyftpdlib";
constexpr const char* Vs = "vsftpd";

}  // namespace

const std::vector<CorpusLine>& UnixCorpus()
{
    static const std::vector<CorpusLine> corpus = {
        {Py, "-rw-r--r--   1 root     root            2 Dec 07 09:51  leading blank", lfUnix, ikFile, 2, "2026-12-07 09:51:00.999", tpMinute, " leading blank", ""},
        {Py, "-rw-r--r--   1 root     root     5368709120 Dec 07 09:51 big.iso", lfUnix, ikFile, 5368709120LL, "2026-12-07 09:51:00.999", tpMinute, "big.iso", ""},
        {Py, "lrwxrwxrwx   1 root     root            7 Dec 07 09:51 dangling -> missing", lfUnix, ikSymLink, 7, "2026-12-07 09:51:00.999", tpMinute, "dangling", "missing"},
        // A file dated 40 days ahead: the server leaves the year out, and a date without a
        // year lies in the past.
        {Py, "-rw-r--r--   1 root     root            0 Jan 16 09:51 future.txt", lfUnix, ikFile, 0, "2026-01-16 09:51:00.999", tpMinute, "future.txt", ""},
        {Py, "-rw-r--r--   1 root     root            4 Dec 07 09:51 name with  blanks.bin", lfUnix, ikFile, 4, "2026-12-07 09:51:00.999", tpMinute, "name with  blanks.bin", ""},
        {Py, "-rw-r--r--   1 root     root            0 Mar 03  2019 old.txt", lfUnix, ikFile, 0, "2019-03-03 00:00:00.999", tpDay, "old.txt", ""},
        {Py, "drwxr-xr-x   2 root     root         4096 Dec 07 09:51 sub dir", lfUnix, ikDirectory, 4096, "2026-12-07 09:51:00.999", tpMinute, "sub dir", ""},
        {Py, "-rw-r--r--   1 root     root            3 Dec 07 09:51 \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt", lfUnix, ikFile, 3, "2026-12-07 09:51:00.999", tpMinute, "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt", ""},
        {Vs, "-rw-r--r--    1 0        0               0 Jan 16  2027 future.txt", lfUnix, ikFile, 0, "2027-01-16 00:00:00.999", tpDay, "future.txt", ""},

        {"Windows", "-rwxr--r--   1 John Smith Domain Users  2048 Dec 24 23:59 notes.doc", lfUnix, ikFile, 2048, "2025-12-24 23:59:00.999", tpMinute, "notes.doc", ""},

        {"GNU ls long-iso", "-rw-r--r-- 1 user group 1234 2005-04-08 11:22 report.txt", lfUnix, ikFile, 1234, "2005-04-08 11:22:00.999", tpMinute, "report.txt", ""},
        {"GNU ls long-iso", "-rw-r--r-- 1 user group 1234 2005-04-08 00:00 midnight.txt", lfUnix, ikFile, 1234, "2005-04-08 00:00:00.999", tpMinute, "midnight.txt", ""},
        {"GNU ls full-iso", "-rw-r--r-- 1 user group 1234 2005-04-08 11:22:33.123456789 +0200 report full.txt", lfUnix, ikFile, 1234, "2005-04-08 11:22:33.123", tpSecond, "report full.txt", ""},

        {"ja_JP", "-rw-r--r--   1 taro  staff   1234  3\xE6\x9C\x88  2\xE6\x97\xA5 15:13 memo.txt", lfUnix, ikFile, 1234, "2026-03-02 15:13:00.999", tpMinute, "memo.txt", ""},
        {"ja_JP", "drwxr-xr-x   2 taro  staff   4096  3\xE6\x9C\x88  2\xE6\x97\xA5  2003\xE5\xB9\xB4 \xE5\x8F\xA4\xE3\x81\x84", lfUnix, ikDirectory, 4096, "2003-03-02 00:00:00.999", tpDay, "\xE5\x8F\xA4\xE3\x81\x84", ""},
        {"ja_JP Shift_JIS", "-rw-r--r--   1 taro  staff     10 11\x8C\x8E  9\x93\xFA 08:00 sjis.txt", lfUnix, ikFile, 10, "2026-11-09 08:00:00.999", tpMinute, "sjis.txt", ""},

        {"BSD ls -T", "-rw-r--r--  1 root  wheel  1234 Mar  3 15:13:22 2003 seconds.txt", lfUnix, ikFile, 1234, "2003-03-03 15:13:22.000", tpSecond, "seconds.txt", ""},
        {"macOS", "-rw-r--r--@ 1 user  staff  1234 Dec  8 07:00 mac.txt", lfUnix, ikFile, 1234, "2026-12-08 07:00:00.999", tpMinute, "mac.txt", ""},
        {"no group column", "-rw-r--r-- 1 user 1234 Mar 3 2001 a b.txt", lfUnix, ikFile, 1234, "2001-03-03 00:00:00.999", tpDay, "a b.txt", ""},
        {"Mac OS folder", "drwxr-xr-x folder 0 Dec 31 23:59 mac", lfUnix, ikDirectory, 0, "2025-12-31 23:59:00.999", tpMinute, "mac", ""},
        {"Solaris", "crw-rw-rw-   1 root     sys       13,  2 Nov 15  2005 null", lfUnix, ikFile, 0, "2005-11-15 00:00:00.999", tpDay, "null", ""},
        {"link without target", "lrwxrwxrwx 1 root root 7 Jan 1 2003 abcdef", lfUnix, ikSymLink, 7, "2003-01-01 00:00:00.999", tpDay, "abcdef", ""},
        {"seven-character permissions", "-rwxrwx 1 user group 1234 Mar 3 2003 seven.txt", lfUnix, ikFile, 1234, "2003-03-03 00:00:00.999", tpDay, "seven.txt", ""},
        {"size beyond 64 bits", "-rw-r--r-- 1 user group 99999999999999999999 Mar 3 2003 huge.bin", lfUnix, ikFile, 0, "2003-03-03 00:00:00.999", tpDay, "huge.bin", ""},
        // The largest unsigned 64-bit size and 2^63 are sizes, held as the largest an entry has.
        {"size of 2^64 - 1", "-rw-r--r-- 1 user group 18446744073709551615 Mar 3 2003 max.bin", lfUnix, ikFile, INT64_MAX, "2003-03-03 00:00:00.999", tpDay, "max.bin", ""},
        {"size of 2^63", "-rw-r--r-- 1 user group 9223372036854775808 Mar 3 2003 half.bin", lfUnix, ikFile, INT64_MAX, "2003-03-03 00:00:00.999", tpDay, "half.bin", ""},

        // Columns too narrow for their values: the link count glued to the permissions (with an
        // ACL marker between them too), the group glued to the size.
        {"link count glued", "drwxr-xr-x1732 root     root        98304 Nov 30 10:00 home", lfUnix, ikDirectory, 98304, "2026-11-30 10:00:00.999", tpMinute, "home", "", "root", "root", 1732},
        {"ACL and link count glued", "drwxr-x---+1464 svc      staff       65536 Nov 30 10:00 shared", lfUnix, ikDirectory, 65536, "2026-11-30 10:00:00.999", tpMinute, "shared", "", "svc", "staff", 1464},
        {"group glued to the size", "-rw-r--r--   1 ftpadmin ftpadmin125435904 Oct 12  2025 backup.tar", lfUnix, ikFile, 125435904, "2025-10-12 00:00:00.999", tpDay, "backup.tar", "", "ftpadmin", "ftpadmin", 1},
        // The padded owner shows the names' column width, which the glued group fills.
        {"group glued to the size", "-rw-r--r--   1 root     backup01123456789 Nov 30 10:00 dump.sql", lfUnix, ikFile, 123456789, "2026-11-30 10:00:00.999", tpMinute, "dump.sql", "", "root", "backup01", 1},
        {"group glued to the size", "-rw-r--r--   1 deploy2 deploy2987654 Nov 30 10:00 app.jar", lfUnix, ikFile, 987654, "2026-11-30 10:00:00.999", tpMinute, "app.jar", "", "deploy2", "deploy2", 1},
        // A size has no leading zero.
        {"group glued to the size", "-rw-r--r-- 1 ftp grp0512 Nov 30 10:00 small.txt", lfUnix, ikFile, 512, "2026-11-30 10:00:00.999", tpMinute, "small.txt", "", "ftp", "grp0", 1},

        // Month names of other languages, in UTF-8, any letter case, with or without a dot; the
        // day first where the locale writes it so.
        {"ru_RU", "-rw-r--r--   1 user     user          220 \xD1\x8F\xD0\xBD\xD0\xB2 15  2024 .bash_logout", lfUnix, ikFile, 220, "2024-01-15 00:00:00.999", tpDay, ".bash_logout", ""},
        {"ru_RU", "drwxr-xr-x   2 user     user         4096 \xD0\xBC\xD0\xB0\xD1\x8F  3 09:15 \xD0\xB4\xD0\xBE\xD0\xBA", lfUnix, ikDirectory, 4096, "2026-05-03 09:15:00.999", tpMinute, "\xD0\xB4\xD0\xBE\xD0\xBA", ""},
        {"ru_RU", "-rw-r--r--   1 user     user          100 \xD0\x94\xD0\xB5\xD0\xBA. 31  2023 old", lfUnix, ikFile, 100, "2023-12-31 00:00:00.999", tpDay, "old", ""},
        {"ru_RU", "-rw-r--r--   1 user     user          100 \xD1\x81\xD0\xB5\xD0\xBD.  9 18:00 sep", lfUnix, ikFile, 100, "2026-09-09 18:00:00.999", tpMinute, "sep", ""},
        {"de_DE", "-rw-r--r--   1 user     user          512 M\xC3\xA4r 14 12:00 notes.txt", lfUnix, ikFile, 512, "2026-03-14 12:00:00.999", tpMinute, "notes.txt", ""},
        {"de_DE", "-rw-r--r-- 1 user user 512  7. Dez 09:51 heute.txt", lfUnix, ikFile, 512, "2026-12-07 09:51:00.999", tpMinute, "heute.txt", ""},
        {"de_DE", "-rw-r--r-- 1 user user 512  3. M\xC3\x84R  2019 alt.txt", lfUnix, ikFile, 512, "2019-03-03 00:00:00.999", tpDay, "alt.txt", ""},
        {"de_DE", "-rw-r--r-- 1 user user 512 Okt 28  2015 okt.txt", lfUnix, ikFile, 512, "2015-10-28 00:00:00.999", tpDay, "okt.txt", ""},
        {"fr_FR", "-rw-r--r-- 1 user user 2048 d\xC3\xA9" "c.  5 08:30 rapport.pdf", lfUnix, ikFile, 2048, "2026-12-05 08:30:00.999", tpMinute, "rapport.pdf", ""},
        {"fr_FR", "-rw-r--r-- 1 user user 2048 22 f\xC3\xA9vr.  2015 vieux.txt", lfUnix, ikFile, 2048, "2015-02-22 00:00:00.999", tpDay, "vieux.txt", ""},
        {"fr_FR", "-rw-r--r-- 1 user user 10 ao\xC3\xBBt 15  2020 \xC3\xA9t\xC3\xA9.txt", lfUnix, ikFile, 10, "2020-08-15 00:00:00.999", tpDay, "\xC3\xA9t\xC3\xA9.txt", ""},
        {"fr_FR", "-rw-r--r-- 1 user user 10 avril  1  2021 avril.txt", lfUnix, ikFile, 10, "2021-04-01 00:00:00.999", tpDay, "avril.txt", ""},
        {"fr_FR", "-rw-r--r-- 1 user user 10 D\xC3\x89" "C 24  2021 noel.txt", lfUnix, ikFile, 10, "2021-12-24 00:00:00.999", tpDay, "noel.txt", ""},
        {"es_ES", "-rw-r--r-- 1 user user 10 ene 10  2021 enero.txt", lfUnix, ikFile, 10, "2021-01-10 00:00:00.999", tpDay, "enero.txt", ""},
        {"es_ES", "-rw-r--r-- 1 user user 10 dic.  1 07:00 diciembre.txt", lfUnix, ikFile, 10, "2026-12-01 07:00:00.999", tpMinute, "diciembre.txt", ""},
        {"it_IT", "-rw-r--r-- 1 utente gruppo 10 giu 21  2022 estate.txt", lfUnix, ikFile, 10, "2022-06-21 00:00:00.999", tpDay, "estate.txt", ""},
        {"it_IT", "-rw-r--r-- 1 utente gruppo 10 ott  4 11:11 ottobre.txt", lfUnix, ikFile, 10, "2026-10-04 11:11:00.999", tpMinute, "ottobre.txt", ""},
        {"it_IT", "-rw-r--r-- 1 utente gruppo 10 lug  4  2019 luglio.txt", lfUnix, ikFile, 10, "2019-07-04 00:00:00.999", tpDay, "luglio.txt", ""},
        {"nl_NL", "-rw-r--r-- 1 gebruiker groep 10 mrt  1  2020 maart.txt", lfUnix, ikFile, 10, "2020-03-01 00:00:00.999", tpDay, "maart.txt", ""},
        {"nl_NL", "-rw-r--r-- 1 gebruiker groep 10 mei 12 13:14 mei.txt", lfUnix, ikFile, 10, "2026-05-12 13:14:00.999", tpMinute, "mei.txt", ""},
        {"sv_SE", "-rw-r--r-- 1 anv grupp 10 maj 17  2021 maj.txt", lfUnix, ikFile, 10, "2021-05-17 00:00:00.999", tpDay, "maj.txt", ""},
    };
    return corpus;
}

const std::vector<CorpusLine>& DosCorpus()
{
    static const std::vector<CorpusLine> corpus = {
        {"IIS", "01-17-04  03:37PM       <DIR>          pub", lfDos, ikDirectory, 0, "2004-01-17 15:37:00.000", tpMinute, "pub", ""},
        {"IIS", "12-31-99  12:05AM                    7 old name.txt", lfDos, ikFile, 7, "1999-12-31 00:05:00.000", tpMinute, "old name.txt", ""},
        {"IIS", "06-01-24  08:00AM                 4096 2024 report.pdf", lfDos, ikFile, 4096, "2024-06-01 08:00:00.000", tpMinute, "2024 report.pdf", ""},
        {"IIS four-digit years", "05-26-1995  10:57AM               143712 setup.exe", lfDos, ikFile, 143712, "1995-05-26 10:57:00.000", tpMinute, "setup.exe", ""},
        {"IIS", "01-17-50  10:00AM                    1 pivot 50", lfDos, ikFile, 1, "2050-01-17 10:00:00.000", tpMinute, "pivot 50", ""},
        {"IIS", "01-17-51  10:00AM                    1 pivot 51", lfDos, ikFile, 1, "1951-01-17 10:00:00.000", tpMinute, "pivot 51", ""},
        {"IIS 24-hour", "02-15-21  13:08       <DIR>          logs", lfDos, ikDirectory, 0, "2021-02-15 13:08:00.000", tpMinute, "logs", ""},
        {"thousands separators", "07-18-23  02:30PM            1,234,567 report 2023.xlsx", lfDos, ikFile, 1234567, "2023-07-18 14:30:00.000", tpMinute, "report 2023.xlsx", ""},
        {"size glued to the column", "01-17-04  03:37PM    123456789012345 wide.bin", lfDos, ikFile, 123456789012345LL, "2004-01-17 15:37:00.000", tpMinute, "wide.bin", ""},
        {"size beyond 64 bits", "01-01-20  12:00AM  99999999999999999999 huge.bin", lfDos, ikFile, 0, "2020-01-01 00:00:00.000", tpMinute, "huge.bin", ""},
        {"negative size", "01-01-20  12:00PM                   -1 negative.bin", lfDos, ikFile, 0, "2020-01-01 12:00:00.000", tpMinute, "negative.bin", ""},
        {"size of 2^64 - 1", "01-01-20  12:00AM  18446744073709551615 max.bin", lfDos, ikFile, INT64_MAX, "2020-01-01 00:00:00.000", tpMinute, "max.bin", ""},
    };
    return corpus;
}

const std::vector<std::string>& ForeignCorpus()
{
    static const std::vector<std::string> corpus = {
        "README.TXT;1              2/4      12-MAR-2001 10:22:33  [USER]  (RWED,RWED,RE,)",
        "type=file;size=1234;modify=20050408112200;perm=r; report.txt",
        "QSYS           77824 02/23/00 15:09:55 *DIR       QOpenSys/",
        "+i8388621.29609,m824255902,/,\tdev",
        "d [R----F--] supervisor            512       Jan 16 18:53    login",
        "- [RWCEAFMS] admin                1234       Mar 03  2003    notes.txt",
        "hello world",
    };
    return corpus;
}

std::string ListingText(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}
