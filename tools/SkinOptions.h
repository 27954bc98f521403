#pragma once
// The options text of a skin as the build-time tools read it: sections and
// keys in file order (case-sensitive), values with "PARENTCLASS"
// inheritance, and the picture items that the value codes describe:
//   '^' fixed columns: rect at 2/7/12/17, margins at 22/27/32/37, image count
//       at 42, mask type at 44, draw mode at 46, border width at 48;
//   '@' rect at 2/7/12/17, image count at 22, mask type at 24;
//   '!' words separated by '!': file, image count, mask type, image kind,
//       four margins, draw mode;
//   a plain value naming a .BMP or .JPG file: a texture.
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vcl {
class TMemIniFile;
}

namespace skintools {

class OptionsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Rect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const Rect &, const Rect &) = default;
};

struct PictureItem {
    std::string Section, Key;  // where the value stands
    char Code = 0;             // '^', '@', '!', or 0 for a plain texture name
    Rect R;                    // in the master bitmap ('^' and '@')
    int ImageCount = 1, MaskType = 0, DrawMode = 0, BorderWidth = 0, ImageKind = 0;
    int WL = 0, WT = 0, WR = 0, WB = 0;
    std::string File;          // '!' and plain texture names, upper case

    bool FromMaster() const { return Code == '^' || Code == '@'; }
    // One state image: the rect's width over the image count, its height
    // over the number of stacked parts (mask type + 1).
    int FrameWidth() const { return ImageCount > 0 ? R.Width() / ImageCount : 0; }
    int PartHeight() const { return R.Height() / (MaskType + 1); }
};

// Nothing for a value that describes no picture; OptionsError for a picture
// value whose fixed columns or words are not numbers.
std::optional<PictureItem> ParsePicture(const std::string &Section, const std::string &Key, std::string_view Value);

class SkinOptions {
public:
    explicit SkinOptions(std::string_view Text);
    static SkinOptions FromFile(const std::string &Path);
    ~SkinOptions();
    SkinOptions(SkinOptions &&) noexcept;
    SkinOptions &operator=(SkinOptions &&) noexcept;

    std::vector<std::string> Sections() const;                 // file order
    std::vector<std::string> Keys(const std::string &Section) const;
    bool HasSection(const std::string &Section) const;
    std::optional<std::string> Own(const std::string &Section, const std::string &Key) const;
    // The section's value or its parents' (a chain is followed at most 16
    // deep and never through a section twice).
    std::optional<std::string> Value(const std::string &Section, const std::string &Key) const;
    // Decimal or "$" / "0x" hexadecimal; Default when absent or not a number.
    int Int(const std::string &Section, const std::string &Key, int Default) const;
    std::string MasterBitmap() const;  // "MASTERBITMAP" of "GLOBALINFO", as written
    // Every picture item in file order (the master bitmap's name excluded).
    std::vector<PictureItem> Pictures() const;
    // The section's own picture of that key, else its parents'.
    std::optional<PictureItem> Picture(const std::string &Section, const std::string &Key) const;

private:
    std::unique_ptr<vcl::TMemIniFile> FIni;
};

// Integer text as the options reader takes it; nothing when not a number.
std::optional<int> ParseOptionInt(std::string_view Text);

} // namespace skintools
