// chess.ini through the INI profile and the settings. The input is the file. Every value read is
// in its range; the settings written back read back the same and a second write changes no byte;
// a key of another section written into the file reads back as written and leaves the settings
// as they were.
#include "engine/flow.h"
#include "engine/think.h"
#include "platform/profile.h"
#include "records/settings.h"
#include "tests/fuzz/fuzz_support.h"

namespace xq::fuzz {
namespace {

struct Settings {
    uint8_t level;
    double time;
    BoardColor color;
    uint8_t depth;
    uint8_t sound;

    static Settings Read(const std::filesystem::path& file) {
        ReadSettings(file);
        return {levelKind, levelTime, colorSquare, maxDepth, soundOn};
    }
    bool operator==(const Settings&) const = default;

    std::string Text() const {
        return "level " + std::to_string(level) + ", time " + std::to_string(time) + ", depth " +
               std::to_string(depth) + ", sound " + std::to_string(sound);
    }
};

void RequireInRange(const Settings& s) {
    Require(IsLevel(s.level) && IsLevelTime(s.time) && IsDepthLimit(s.depth) && s.sound <= 1,
            "a setting is read out of its range", s.Text());
}

// A key of a section of its own: written, it reads back as written, as text and as a number.
void CheckForeignKey(const std::filesystem::path& file, const Settings& settings) {
    Require(WriteProfileString("Fuzz", "Note", "-1234 a=b", file), "a key cannot be written");
    Require(ReadProfileString("FUZZ", "note", "", 100, file) == "-1234 a=b",
            "a written text reads back another");
    Require(ReadProfileInt("fuzz", "NOTE", 0, file) == -1234,
            "a written number reads back another");
    Require(Settings::Read(file) == settings, "writing another section changed the settings");
}

}  // namespace
}  // namespace xq::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    xq::fuzz::InitCore();
    xq::fuzz::RemoveAtExit(xq::fuzz::ScratchFile("chess.ini"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace xq;
    using namespace xq::fuzz;
    static const std::filesystem::path file = ScratchFile("chess.ini");
    WriteWholeFile(file, std::string_view(reinterpret_cast<const char*>(data), size));
    Reset();

    // 1. What is read is in range.
    const Settings read = Settings::Read(file);
    RequireInRange(read);
    // 2. Written back, the settings read back the same, and writing them again changes nothing.
    WriteSettings(file);
    Require(Settings::Read(file) == read, "written settings read back others", read.Text());
    const std::string written = ReadWholeFile(file);
    WriteSettings(file);
    Require(ReadWholeFile(file) == written, "writing the same settings again changed the file");
    // 3. Other sections are the profile's own business.
    CheckForeignKey(file, read);
    return 0;
}
