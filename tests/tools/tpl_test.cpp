// ptu-tpl end to end inside one process: listings to data files and back,
// the options, and the exit codes.
#include "keydata/keypos.h"
#include "tools/tpl/tpl.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace ptu::tpl {
namespace {

namespace fs = std::filesystem;

class Tpl : public ::testing::Test {
protected:
    void SetUp() override { setenv("LC_ALL", "C", 1); }  // the US tables unless a test says otherwise

    std::string path(const std::string& name) const { return folder_.path(name); }

    void write(const std::string& name, const std::string& data) const
    {
        std::ofstream(path(name), std::ios::binary) << data;
    }
    std::string read(const std::string& name) const
    {
        std::ifstream f(path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(f), {}};
    }

    // Runs ptu-tpl; standard input is `input`.
    int tpl(std::vector<std::string> args, const std::string& input = "")
    {
        std::istringstream in(input);
        std::ostringstream out, err;
        const int rc = run(args, in, out, err);
        out_ = out.str();
        err_ = err.str();
        return rc;
    }

    test::TempDir folder_{"ptu_tpl_test_"};
    fs::path dir_ = folder_.dir();
    std::string out_, err_;
};

TEST_F(Tpl, ListingToFileAndBack)
{
    write("a.lst",
          "model 4\nlocale us\nldt 16\nr27 7\n"
          "key 0 15 0 aB{ENTER}\n"
          "key 1 3 2 {lsft}x{LSFB}\\\\{Esc}\n"
          "key 5 0 0 {Delay1}\\xE9 \n");
    ASSERT_EQ(tpl({"encode", path("a.lst"), "-o", path("a.tpl")}), EXIT_OK) << err_;
    const std::string img = read("a.tpl");
    ASSERT_EQ(img.size(), 8192u);
    EXPECT_EQ(img.substr(0, 2), std::string("\x10\x00", 2));
    EXPECT_EQ(img.substr(8189), "\x55\xAA\xD6");
    EXPECT_EQ(uint8_t(img[8192 - 6]), 7);

    ASSERT_EQ(tpl({"decode", path("a.tpl"), "--model", "4"}), EXIT_OK) << err_;
    EXPECT_NE(out_.find("\nkey 0 15 0 aB{ENTER}\n"), std::string::npos) << out_;
    EXPECT_NE(out_.find("\nkey 1 3 2 X\\\\{ESC}\n"), std::string::npos) << out_;  // normalised form
    EXPECT_NE(out_.find("\nkey 5 0 0 {DELAY1}{233}\\x20\n"), std::string::npos) << out_;
    EXPECT_NE(out_.find("\nr27 7\n"), std::string::npos);
    const std::string listing = out_;

    ASSERT_EQ(tpl({"encode", "-", "-o", path("b.tpl")}, listing), EXIT_OK) << err_;
    EXPECT_EQ(read("b.tpl"), img);
}

// Every model, as the program would save it, decodes and encodes to itself.
TEST_F(Tpl, EveryModelsFileComesBackByteForByte)
{
    std::mt19937 rng(11);
    const char* pieces[] = {"a", "Z", "{ENTER}", "{LSFT}", "{Delay5}", "7", " ", "{200}", "~", "\\\\"};
    for (int kbt = 0; kbt < kModels; ++kbt) {
        std::string listing = "model " + std::to_string(kbt) + "\nlocale fr\n";
        // These driver keyboards keep no ldt: the program saves 0 there.
        if (kbt == 5 || kbt == 6 || kbt == 7 || kbt == 8 || kbt == 12 || kbt == 15) listing += "ldt 0\n";
        for (int p = 0; p < pn[kbt]; ++p)
            for (int k = 1; k < 176; k += kbt <= 2 ? 17 : 3) {
                const KeySlot& ks = keypos[kbt][k];
                if (ks.col >= 22 || ks.row >= 16 || ks.kind != KIND_ORDINARY) continue;
                std::string text;
                for (int i = 0; i < 4; ++i) text += pieces[rng() % std::size(pieces)];
                listing += "key " + std::to_string(p) + " " + std::to_string(ks.col) + " " +
                           std::to_string(ks.row) + " " + text + "\n";
            }
        SCOPED_TRACE("model " + std::to_string(kbt));
        ASSERT_EQ(tpl({"encode", "-", "-o", path("f.tpl")}, listing), EXIT_OK) << err_;
        const std::string f = read("f.tpl");
        // The file names neither its model nor its locale: decode is told both.
        ASSERT_EQ(tpl({"decode", path("f.tpl"), "--model", std::to_string(kbt), "--locale", "fr"}), EXIT_OK)
            << err_;
        ASSERT_EQ(tpl({"encode", "-", "-o", path("g.tpl")}, out_), EXIT_OK) << err_;
        EXPECT_TRUE(read("g.tpl") == f);
    }
}

// With hiding on, the model's fixed texts win and a hidden key takes no
// other text: ptu-tpl says which keys that touched. ldt as decode reads it.
TEST_F(Tpl, FixedAndHiddenKeysAreNamedAndLdtIsReadAsTheKeyboardKeepsIt)
{
    EXPECT_EQ(tpl({"encode", "-", "-o", path("pad.tpl")}, "model 9\nkey 0 11 5 hello\nkey 0 0 0 kept\n"), EXIT_OK);
    EXPECT_NE(err_.find("1 key holds the model's fixed text"), std::string::npos) << err_;
    EXPECT_NE(err_.find("page 0 column 11 row 5 (line 2)"), std::string::npos) << err_;

    EXPECT_EQ(tpl({"encode", "-", "-o", path("hid.tpl")}, "model 4\nkey 2 16 3 {ENTER}\n"), EXIT_LEFT_OUT);
    EXPECT_NE(err_.find("page 2 column 16 row 3 (line 2): a hidden key"), std::string::npos) << err_;
    EXPECT_EQ(tpl({"decode", path("hid.tpl"), "--model", "4"}), EXIT_OK);
    EXPECT_EQ(out_.find("\nkey 2 16 3"), std::string::npos) << out_;

    // Without --usb, pad and "-6" keyboards keep no ldt: decode reads 0 there.
    ASSERT_EQ(tpl({"encode", "-", "-o", path("l.tpl")}, "model 5\nldt 77\n"), EXIT_OK) << err_;
    ASSERT_EQ(tpl({"decode", path("l.tpl"), "--model", "5"}), EXIT_OK);
    EXPECT_NE(out_.find("\nldt 0\n"), std::string::npos) << out_;
    ASSERT_EQ(tpl({"decode", path("l.tpl"), "--model", "5", "--usb"}), EXIT_OK);
    EXPECT_NE(out_.find("\nldt 77\n"), std::string::npos) << out_;
}

TEST_F(Tpl, KeysThatDoNotFitAreWrittenOutAndListed)
{
    std::string listing = "model 3\n";
    for (int p = 0; p < 6; ++p)
        for (int c = 0; c < 14; ++c)
            for (int r = 0; r < 8; ++r)
                listing += "key " + std::to_string(p) + " " + std::to_string(c) + " " + std::to_string(r) +
                           " some longer text{ENTER}\n";
    listing += "key 0 21 15 nowhere\n";
    EXPECT_EQ(tpl({"encode", "-", "-o", path("full.tpl")}, listing), EXIT_LEFT_OUT);
    EXPECT_EQ(read("full.tpl").size(), 8192u);
    EXPECT_NE(err_.find("page 5 column 0 row 0 (line 562): the memory is full"), std::string::npos) << err_;
    EXPECT_NE(err_.find("page 0 column 21 row 15 (line"), std::string::npos) << err_;

    // A one-page model stores no later page.
    EXPECT_EQ(tpl({"encode", "-", "-o", path("one.tpl")}, "model 0\nkey 1 0 0 x\n"), EXIT_LEFT_OUT);
    EXPECT_NE(err_.find("no such page"), std::string::npos);
}

TEST_F(Tpl, OptionsWinOverTheListing)
{
    const std::string listing = "model 4\nlocale us\nmemory 8192\nkey 0 15 0 z\n";
    ASSERT_EQ(tpl({"encode", "-", "-o", path("de.tpl"), "--locale", "de", "--memory", "4096"}, listing), EXIT_OK);
    const std::string img = read("de.tpl");
    ASSERT_EQ(img.size(), 4096u);
    // ldt and 15 empty slots, then slot 16 (column 15, row 0).
    EXPECT_EQ(img.substr(17, 3), std::string("\xFF\x15\x00", 3));

    // -8 is model 9 with 128 slots a page; --model may not contradict it.
    ASSERT_EQ(tpl({"encode", "-", "-o", path("m9.tpl"), "-8"}, "key 0 0 0 a\n"), EXIT_OK) << err_;
    EXPECT_EQ(tpl({"encode", "-", "-o", path("m9.tpl"), "-8", "--model", "4"}, ""), EXIT_BAD_INPUT);
}

TEST_F(Tpl, BadInputGetsExitTwo)
{
    EXPECT_EQ(tpl({"encode", "-", "-o", path("x.tpl")}, "model 4\nkey 0 0 0 a\nkey 0 0 99 b\n"), EXIT_BAD_INPUT);
    EXPECT_EQ(err_.rfind("<stdin>:3: ", 0), 0u) << err_;
    EXPECT_FALSE(fs::exists(path("x.tpl")));

    write("bad.lst", "model 4\nlocale klingon\n");
    EXPECT_EQ(tpl({"encode", path("bad.lst"), "-o", path("x.tpl")}), EXIT_BAD_INPUT);
    EXPECT_EQ(err_.rfind(path("bad.lst") + ":2: ", 0), 0u) << err_;

    EXPECT_EQ(tpl({}), EXIT_BAD_INPUT);
    EXPECT_EQ(tpl({"transmogrify"}), EXIT_BAD_INPUT);
    EXPECT_EQ(tpl({"encode", "-"}), EXIT_BAD_INPUT);                      // no -o
    EXPECT_EQ(tpl({"encode", "-", "-o", path("x.tpl")}, "key 0 0 0 a\n"), EXIT_BAD_INPUT);  // no model
    EXPECT_EQ(tpl({"decode", "-", "--model", "40"}), EXIT_BAD_INPUT);
    EXPECT_EQ(tpl({"decode", "-", "--frobnicate"}), EXIT_BAD_INPUT);
    EXPECT_EQ(tpl({"decode", "-", "--model", "4"}, std::string(100, 'x')), EXIT_BAD_INPUT);  // size unknown
    EXPECT_EQ(tpl({"decode", path("missing.tpl"), "--model", "4"}), EXIT_IO);
    EXPECT_EQ(tpl({"--help"}), EXIT_OK);
}

TEST_F(Tpl, UsbFilesHoldUsagesAndNameTheirModel)
{
    const std::string listing = "model 13\nusb 1\nr2a 0x69\n"
                                "key 0 7 0 aB{ENTER}{Up}\nkey 1 2 0 {Power}\n";
    ASSERT_EQ(tpl({"encode", "-", "-o", path("u.tpl")}, listing), EXIT_OK) << err_;
    const std::string img = read("u.tpl");
    // Slot 120 of model 13 (column 7, row 0) holds usages: a = 04, B = E1 05 F1,
    // Enter = 28, Up = 52.
    EXPECT_NE(img.find(std::string("\xFF\x04\xE1\x05\xF1\x28\x52\x00", 8)), std::string::npos);
    EXPECT_EQ(uint8_t(img[8192 - 4]), 0x69);

    // Decoding needs only --usb: the type in the file names model 13.
    ASSERT_EQ(tpl({"decode", path("u.tpl"), "--usb"}), EXIT_OK) << err_;
    EXPECT_NE(out_.find("model 13\n"), std::string::npos);
    EXPECT_NE(out_.find("key 0 7 0 aB{ENTER}{UP}\n"), std::string::npos) << out_;
    EXPECT_NE(out_.find("key 1 2 0 {POWER}\n"), std::string::npos) << out_;
    ASSERT_EQ(tpl({"encode", "-", "-o", path("u2.tpl")}, out_), EXIT_OK) << err_;
    EXPECT_TRUE(read("u2.tpl") == img);
}

TEST_F(Tpl, DecodeWithoutAModelSaysWhichItTook)
{
    ASSERT_EQ(tpl({"encode", "-", "-o", path("m.tpl")}, "model 4\nkey 0 15 0 a\n"), EXIT_OK);
    ASSERT_EQ(tpl({"decode", path("m.tpl")}), EXIT_OK);
    EXPECT_NE(err_.find("decoding as model 4"), std::string::npos);
    EXPECT_NE(out_.find("model 4\n"), std::string::npos);

    // A short file decodes what it holds, with a warning.
    write("short.tpl", read("m.tpl").substr(0, 300));
    ASSERT_EQ(tpl({"decode", path("short.tpl"), "--model", "4", "--memory", "8192"}), EXIT_OK);
    EXPECT_NE(err_.find("less than the memory size"), std::string::npos);
    EXPECT_NE(out_.find("key 0 15 0 a\n"), std::string::npos);
}

TEST_F(Tpl, TextsTheKeyboardWouldNotGiveBackAreNamedWithTheirLine)
{
    write("a.lst",
          "model 4\nlocale us\nusb 1\n"
          "key 0 15 0 Void{ENTR}\n"
          "key 0 16 0 {ENTER}{Delay10}{7}{} ok\n"
          "key 0 17 0 {Power}a\n");
    EXPECT_EQ(tpl({"encode", path("a.lst"), "-o", path("a.tpl")}), EXIT_OK);
    EXPECT_NE(err_.find(":4: warning: key 0 15 0 (1P1): {ENTR} is no key name: did you mean {ENTER}? "
                        "The keyboard gives back: VoidENTR{125}\n"),
              std::string::npos)
        << err_;
    EXPECT_NE(err_.find(":6: warning: key 0 17 0 (1R1): {Power} is a system key"), std::string::npos) << err_;
    EXPECT_EQ(err_.find(":5:"), std::string::npos) << "line 5 comes back as written: " << err_;
    EXPECT_EQ(read("a.tpl").size(), 8192u);

    fs::remove(path("a.tpl"));
    EXPECT_EQ(tpl({"encode", path("a.lst"), "-o", path("a.tpl"), "--strict"}), EXIT_BAD_INPUT);
    EXPECT_NE(err_.find(":4: error: key 0 15 0"), std::string::npos);
    EXPECT_FALSE(fs::exists(path("a.tpl")));

    // check lists them for a script; a data file is checked as Load reads it.
    EXPECT_EQ(tpl({"check", path("a.lst")}), EXIT_LEFT_OUT);
    EXPECT_NE(out_.find(":4: key 0 15 0 (1P1): {ENTR} is no key name"), std::string::npos) << out_;
    write("ok.lst", "model 4\nlocale us\nkey 0 15 0 Void{ENTER}\n");
    EXPECT_EQ(tpl({"check", path("ok.lst")}), EXIT_OK);
    EXPECT_EQ(out_, "");
    ASSERT_EQ(tpl({"encode", path("ok.lst"), "-o", path("ok.tpl")}), EXIT_OK);
    EXPECT_EQ(tpl({"check", path("ok.tpl"), "--model", "4", "--locale", "us"}), EXIT_OK) << out_;
}

TEST_F(Tpl, ListingsTakeUtf8AndTheSystemsTables)
{
    // An ordinary editor writes UTF-8: the characters become the German set's bytes.
    write("utf8.lst", "model 4\nkey 0 15 0 Gr\xC3\xB6\xC3\x9F" "e\nkey 0 16 0 \xC5\x82\n");
    write("escaped.lst", "model 4\nkey 0 15 0 Gr\\xF6\\xDFe\n");
    ASSERT_EQ(tpl({"encode", path("utf8.lst"), "--locale", "de", "-o", path("utf8.tpl")}), EXIT_OK);
    EXPECT_NE(err_.find("utf8.lst:3: warning: \xC5\x82 is not on the German keyboard: not stored"), std::string::npos)
        << err_;
    ASSERT_EQ(tpl({"encode", path("escaped.lst"), "--locale", "de", "-o", path("escaped.tpl")}), EXIT_OK);
    EXPECT_EQ(read("utf8.tpl"), read("escaped.tpl"));
    ASSERT_EQ(tpl({"decode", path("utf8.tpl"), "--locale", "de", "--model", "4"}), EXIT_OK);
    EXPECT_NE(out_.find("key 0 15 0 Gr\\xF6\\xDFe\n"), std::string::npos) << out_;

    // Without --locale the tables come from the system's language, as in the window.
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    ASSERT_EQ(tpl({"decode", path("utf8.tpl"), "--model", "4"}), EXIT_OK);
    setenv("LC_ALL", "C", 1);
    EXPECT_NE(out_.find("locale de\n"), std::string::npos);
    EXPECT_NE(err_.find("no locale given: using the German tables of the system's language"), std::string::npos)
        << err_;
}

TEST_F(Tpl, DiffNamesTheKeysAndRegistersThatDiffer)
{
    write("a.lst", "model 4\nkey 0 0 0 abc{ENTER}\nkey 1 2 1 same\nkey 5 3 0 {F1}\n");
    write("b.lst", "model 4\nr28 0xE0\nkey 0 0 0 abd{ENTER}\nkey 1 2 1 same\nkey 5 3 0 {F2}\n");
    ASSERT_EQ(tpl({"encode", path("a.lst"), "-o", path("a.tpl")}), EXIT_OK);
    ASSERT_EQ(tpl({"encode", path("b.lst"), "-o", path("b.tpl")}), EXIT_OK);
    EXPECT_EQ(tpl({"diff", path("a.tpl"), path("b.tpl"), "--model", "4"}), EXIT_DIFFERENT);
    EXPECT_EQ(out_, "key 0 0 0: abc{ENTER} | abd{ENTER}\nkey 5 3 0: {F1} | {F2}\nr28 0xE8 0xE0\n");

    // A file and its own listing, and a file and the listing it came from.
    ASSERT_EQ(tpl({"decode", path("a.tpl"), "--model", "4"}), EXIT_OK);
    write("a.txt", out_);
    EXPECT_EQ(tpl({"diff", path("a.tpl"), path("a.txt"), "--model", "4"}), EXIT_OK) << out_ << err_;
    EXPECT_EQ(out_, "");
    EXPECT_EQ(tpl({"diff", path("a.lst"), path("a.tpl")}), EXIT_OK) << out_ << err_;

    // Bad arguments, and inputs that cannot be read.
    EXPECT_EQ(tpl({"diff", path("a.tpl")}), EXIT_BAD_INPUT);
    EXPECT_EQ(tpl({"diff", path("a.tpl"), path("none.tpl")}), EXIT_BAD_INPUT);
    EXPECT_EQ(tpl({"diff", path("a.tpl"), dir_.string()}), EXIT_BAD_INPUT);
}

TEST_F(Tpl, CaptionsTravelBesideTheFile)
{
    write("a.lst", "model 4\nkey 0 0 0 coffee{ENTER}\ncaption 0 0 0 Coffee\ncaption 5 2 3 T\\xE9a\n"
                   "caption 1 0 0 2A1\n");  // a default label needs no line
    ASSERT_EQ(tpl({"encode", path("a.lst"), "-o", path("a.tpl")}), EXIT_OK) << err_;
    const std::string captions = read("a.tpl.captions");
    EXPECT_EQ(captions.substr(captions.find('\n') + 1), "caption 0 0 0 Coffee\ncaption 5 2 3 T\\xE9a\n");
    ASSERT_EQ(tpl({"decode", path("a.tpl")}), EXIT_OK);
    EXPECT_NE(out_.find("key 0 0 0 coffee{ENTER}\ncaption 0 0 0 Coffee\ncaption 5 2 3 T\\xE9a\n"), std::string::npos);
    write("b.lst", out_);
    ASSERT_EQ(tpl({"encode", path("b.lst"), "-o", path("b.tpl")}), EXIT_OK) << err_;
    EXPECT_EQ(read("b.tpl"), read("a.tpl"));
    EXPECT_EQ(read("b.tpl.captions"), captions);
    // --captions reads another file; diff names the captions that differ.
    write("other.captions", "caption 0 0 0 Tea\ncaption 0 99 0 bad\n");
    ASSERT_EQ(tpl({"decode", path("a.tpl"), "--captions", path("other.captions")}), EXIT_OK);
    EXPECT_NE(out_.find("\ncaption 0 0 0 Tea\n"), std::string::npos);
    EXPECT_NE(err_.find("other.captions: line 2: caption: column must be 0..21"), std::string::npos) << err_;
    EXPECT_EQ(tpl({"diff", path("a.tpl"), path("b.lst")}), EXIT_OK) << out_;
    write("c.lst", "model 4\nkey 0 0 0 coffee{ENTER}\ncaption 0 0 0 Tea\n");
    EXPECT_EQ(tpl({"diff", path("a.tpl"), path("c.lst")}), EXIT_DIFFERENT);
    EXPECT_EQ(out_, "caption 0 0 0: Coffee | Tea\ncaption 5 2 3: T\\xE9a | PC4\n");
    // A listing without captions leaves no captions file beside its data file.
    write("d.lst", "model 4\n");
    ASSERT_EQ(tpl({"encode", path("d.lst"), "-o", path("b.tpl")}), EXIT_OK);
    EXPECT_FALSE(fs::exists(path("b.tpl.captions")));

    write("long.lst", "model 4\n# ten characters:\ncaption 0 0 0 ABCDEFGHIJ\n");
    EXPECT_EQ(tpl({"encode", path("long.lst"), "-o", path("l.tpl")}), EXIT_BAD_INPUT);
    EXPECT_NE(err_.find("long.lst:3: caption:"), std::string::npos) << err_;
    write("nokey.lst", "model 1\ncaption 1 0 0 x\n");  // a one-page model
    EXPECT_EQ(tpl({"encode", path("nokey.lst"), "-o", path("n.tpl")}), EXIT_LEFT_OUT);
    EXPECT_NE(err_.find("caption page 1 column 0 row 0 (line 2): the model has no key there"), std::string::npos);
}

TEST_F(Tpl, LegendsArePdfAndSayWhatIsWrong)
{
    write("a.lst", "model 4\nkey 0 0 0 coffee{ENTER}\ncaption 0 0 0 Coffee\n");
    ASSERT_EQ(tpl({"encode", path("a.lst"), "-o", path("a.tpl")}), EXIT_OK);
    ASSERT_EQ(tpl({"legends", path("a.tpl"), "-o", path("a.pdf")}), EXIT_OK) << err_;
    EXPECT_EQ(read("a.pdf").substr(0, 5), "%PDF-");
    ASSERT_EQ(tpl({"legends", path("a.lst"), "--texts", "--pitch", "12.5", "-o", path("b.pdf")}), EXIT_OK) << err_;
    EXPECT_EQ(read("b.pdf").substr(0, 5), "%PDF-");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"legends", path("a.tpl")}, {"legends", path("a.tpl"), "-o", "-"},
          {"legends", path("a.tpl"), "--pitch", "5", "-o", path("c.pdf")},
          {"legends", path("a.tpl"), "--pitch", "19mm", "-o", path("c.pdf")},
          {"decode", path("a.tpl"), "--texts"}, {"encode", path("a.lst"), "--captions", "x", "-o", path("c.tpl")}})
        EXPECT_EQ(tpl(args), EXIT_BAD_INPUT) << args[1] << " " << args.back();
    EXPECT_EQ(tpl({"legends", path("none.tpl"), "-o", path("c.pdf")}), EXIT_IO);
    EXPECT_EQ(tpl({"legends", path("a.tpl"), "--captions", path("none"), "-o", path("c.pdf")}), EXIT_IO);
    EXPECT_EQ(tpl({"legends", path("a.tpl"), "-o", path("no/folder/c.pdf")}), EXIT_IO);
    EXPECT_FALSE(fs::exists(path("c.pdf")));
}

}  // namespace
}  // namespace ptu::tpl
