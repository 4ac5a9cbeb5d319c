// keelwright-cli preview, run as a black box on the examples and on copies of the example client files.
#include <gtest/gtest.h>

#include <map>

#include "TestFiles.h"
#include "cli/CliTestSupport.h"
#include "cli/ClientFilesCopy.h"

namespace keelwright::test {
namespace {

class PreviewCommand : public ClientFilesCopy {
protected:
    static std::string example(const char* name) { return (ExamplesDir() / name).string(); }
    std::string out(const char* name = "out.png") const { return (dir_ / name).string(); }

    // The width and height of a PNG file, from its IHDR chunk; 0 x 0 for anything else.
    static std::pair<std::uint32_t, std::uint32_t> pngSize(const std::string& png) {
        if (png.size() < 24 || png.compare(0, 8, "\x89PNG\r\n\x1A\n") != 0 ||
            png.compare(12, 4, "IHDR") != 0) {
            return {0, 0};
        }
        const auto be32 = [&](std::size_t at) {
            std::uint32_t value = 0;
            for (std::size_t i = 0; i < 4; ++i) {
                value = value << 8 | static_cast<std::uint8_t>(png[at + i]);
            }
            return value;
        };
        return {be32(16), be32(20)};
    }
};

TEST_F(PreviewCommand, DrawsAScriptOrAMultiOfTheClientFilesWithOrWithoutArt) {
    // The house patched into the copies as multi 4, so that the client-file forms have it to draw.
    ASSERT_EQ(RunCli({"patch", "--components", example("Components.txt"), "--idx", idx(), "--mul", mul(),
                      example("house.txt")})
                  .status,
              0);
    const std::string art = example("art");
    struct Row {
        const char* what;
        std::vector<std::string> arguments;  // after "preview"; -o and the output file follow
        std::string line;
        std::pair<std::uint32_t, std::uint32_t> size;
        const char* sameAs;  // the row whose picture this one must equal, byte for byte
    };
    const Row rows[] = {
        {"blocks",
         {"--components", example("Components.txt"), example("house.txt")},
         "236 x 256 pixels: 0 tiles drawn with art, 26 as blocks\n",
         {236, 256},
         nullptr},
        {"art",
         {"--components", example("Components.txt"), "--art", art, example("house.txt")},
         "236 x 316 pixels: 26 tiles drawn with art, 0 as blocks\n",
         {236, 316},
         nullptr},
        {"wsc art",
         {"--components", example("Components.txt"), "--type", "wsc", "--art", art, example("house.wsc")},
         "236 x 316 pixels: 26 tiles drawn with art, 0 as blocks\n",
         {236, 316},
         "art"},
        {"client blocks",
         {"--idx", idx(), "--mul", mul(), "--multi", "4"},
         "236 x 256 pixels: 0 tiles drawn with art, 26 as blocks\n",
         {236, 256},
         "blocks"},
        {"client art",
         {"--idx", idx(), "--mul", mul(), "--multi", "4", "--art", art},
         "236 x 316 pixels: 26 tiles drawn with art, 0 as blocks\n",
         {236, 316},
         "art"},
        {"sign post", {"--idx", idx(), "--mul", mul(), "--multi", "3", "--art", art}, "", {0, 0}, nullptr},
        {"uop sign post",
         {"--uop", example("client/MultiCollection.uop"), "--multi", "3", "--art", art},
         "",
         {0, 0},
         "sign post"},
    };
    std::map<std::string, std::string> pictures;
    for (const Row& row : rows) {
        std::vector<std::string> arguments = {"preview"};
        arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
        arguments.insert(arguments.end(), {"-o", out()});
        WriteAll(out(), "an older picture");
        const CliResult r = RunCli(arguments);
        EXPECT_EQ(r.status, 0) << row.what << ": " << r.err;
        EXPECT_EQ(r.err, "") << row.what;
        const std::string png = ReadAll(out());
        if (!row.line.empty()) {
            EXPECT_EQ(r.out, row.line) << row.what;
            EXPECT_EQ(pngSize(png), row.size) << row.what;
        } else {
            EXPECT_NE(pngSize(png), (std::pair<std::uint32_t, std::uint32_t>{0, 0})) << row.what;
        }
        if (row.sameAs != nullptr) {
            EXPECT_EQ(png, pictures[row.sameAs]) << row.what << " differs from " << row.sameAs;
        }
        pictures[row.what] = png;
    }
    EXPECT_NE(pictures["blocks"], pictures["art"]);
}

TEST_F(PreviewCommand, RefusesWhatItCannotDrawAndLeavesTheOutputAsItWas) {
    const std::string house = example("house.txt");
    const std::string empty = (dir_ / "empty").string();
    std::filesystem::create_directory(empty);
    struct Row {
        std::vector<std::string> arguments;  // after "preview"
        int status;
        std::string err;  // the start of stderr
    };
    const Row rows[] = {
        {{house}, 2, "keelwright-cli preview: --output is required\n"},
        {{"-o", out()},
         2,
         "keelwright-cli preview: missing argument: SCRIPT, or the client files with --multi\n"},
        {{"-o", house, house},
         2,
         "keelwright-cli preview: -o names " + house + ", which the preview reads\n"},
        {{"--art", example("art"), "-o", example("art/art.mul"), house},
         2,
         "keelwright-cli preview: -o names " + (ExamplesDir() / "art" / "art.mul").string() +
             ", which the preview reads\n"},
        {{"--idx", idx(), "--mul", mul(), "--multi", "0", "-o", mul()},
         2,
         "keelwright-cli preview: -o names " + mul() + ", which the preview reads\n"},
        {{"--idx", idx(), "--mul", mul(), "--multi", "0", "-o", out(), house},
         2,
         "keelwright-cli preview: SCRIPT and the client files (--idx, --mul, --uop, --multi) exclude each "
         "other\n"},
        {{"--uop", idx(), "--idx", idx(), "--multi", "0", "-o", out()},
         2,
         "keelwright-cli preview: --uop and --idx/--mul exclude each other\n"},
        {{"--no-components", "--uop", idx(), "--multi", "0", "-o", out()},
         2,
         "keelwright-cli preview: --type, --components and --no-components are for a SCRIPT, not the client "
         "files\n"},
        {{"--idx", idx(), "--mul", mul(), "-o", out()},
         2,
         "keelwright-cli preview: --multi is required with the client files\n"},
        {{"--mul", mul(), "--multi", "0", "-o", out()}, 2, "keelwright-cli preview: --idx is required\n"},
        {{"--art", empty, "-o", out(), house},
         1,
         "keelwright-cli: error: " + empty +
             ": no art files (artLegacyMUL.uop, or art.mul and artidx.mul) in "
             "the folder\n"},
        {{"--idx", idx(), "--mul", mul(), "--multi", "4", "-o", out()},
         1,
         "keelwright-cli: error: multi 0x4 (4) (slot 5) is a free slot: it holds no multi\n"},
        {{"--uop", example("client/MultiCollection.uop"), "--multi", "4", "-o", out()},
         1,
         "keelwright-cli: error: "},
        {{"-o", (dir_ / "none" / "out.png").string(), house}, 1, "keelwright-cli: error: "},
    };
    for (const Row& row : rows) {
        WriteAll(out(), "an older picture");
        std::vector<std::string> arguments = {"preview"};
        arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
        const CliResult r = RunCli(arguments);
        EXPECT_EQ(r.status, row.status) << row.err;
        EXPECT_EQ(r.out, "") << row.err;
        EXPECT_EQ(r.err.rfind(row.err, 0), 0U) << r.err;
        EXPECT_EQ(ReadAll(out()), "an older picture") << row.err;
    }
    expectFilesUnchanged();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 4)
        << "Multi.idx, Multi.mul, out.png and the empty folder, no temporary file left";
}

}  // namespace
}  // namespace keelwright::test
