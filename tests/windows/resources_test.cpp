// The program's resources as Windows sees them: the icons and status
// pictures with their sizes and depths, the two dialogs both as templates and
// as created windows, the version block and the manifest. The test program
// must link the full resource object (vk_resources).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <set>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

// The ids are the program's interface with its resources; the expected
// values below are written as numbers so that a wrong header shows here.
static_assert(IDD_MAIN == 200 && IDD_PAGE == 201 && IDC_TAB == 1001, "dialog ids");
static_assert(IDC_SUMMARY == 1010 && IDC_FIRMWARE == 1011 && IDC_SERIAL == 1012 && IDC_STATUS_IMAGE == 1013 &&
                  IDC_POWER_ON_TIME == 1014 && IDC_TEMPERATURE == 1015 && IDC_DISK_USAGE == 1016,
              "panel ids");
static_assert(IDC_BASIC_LIST == 1100 && IDC_ATTRIBUTE_LIST == 1101, "list ids");
static_assert(IDI_PROGRAM == 101 && IDI_SMALL == 102, "program icon ids");
static_assert(IDI_STATUS_FIRST == 103 && IDI_STATUS_GOOD == 103 && IDI_STATUS_CAUTION == 104 &&
                  IDI_STATUS_DANGER == 105 && IDI_STATUS_ERROR == 106,
              "status icon ids");
static_assert(IDI_TIP_MODEL == 110 && IDI_TIP_FIRMWARE == 111 && IDI_TIP_SERIAL == 112 && IDI_TIP_CONDITION == 113 &&
                  IDI_TIP_POWER_ON_TIME == 114 && IDI_TIP_TEMPERATURE == 115 && IDI_TIP_DISK_USAGE == 116,
              "tooltip icon ids");
static_assert(IDB_STATUS_FIRST == 150 && IDB_STATUS_GOOD == 150 && IDB_STATUS_CAUTION == 151 &&
                  IDB_STATUS_DANGER == 152 && IDB_STATUS_ERROR == 153 && IDB_STATUS_HOT == 154,
              "status picture ids");

const double kPi = 3.14159265358979323846;

HMODULE Module() { return GetModuleHandleW(nullptr); }

// --- Raw resource data -----------------------------------------------------

struct Bytes {
    const unsigned char* data = nullptr;
    size_t size = 0;
};

Bytes FindBytes(int id, LPCSTR type) {
    Bytes result;
    HRSRC info = FindResourceA(Module(), MAKEINTRESOURCEA(id), type);
    if (info == nullptr) return result;
    HGLOBAL loaded = LoadResource(Module(), info);
    if (loaded == nullptr) return result;
    result.data = static_cast<const unsigned char*>(LockResource(loaded));
    result.size = SizeofResource(Module(), info);
    return result;
}

// Little-endian reads that fail softly past the end.
class Reader {
public:
    explicit Reader(Bytes bytes) : bytes_(bytes) {}
    bool ok() const { return ok_; }
    size_t offset() const { return offset_; }
    void Seek(size_t offset) { offset_ = offset; }
    void AlignTo4() { offset_ = (offset_ + 3) & ~static_cast<size_t>(3); }
    uint32_t Get(size_t n) {
        if (!ok_ || offset_ + n > bytes_.size) {
            ok_ = false;
            return 0;
        }
        uint32_t v = 0;
        for (size_t i = 0; i < n; ++i) v |= static_cast<uint32_t>(bytes_.data[offset_ + i]) << (8 * i);
        offset_ += n;
        return v;
    }
    uint8_t U8() { return static_cast<uint8_t>(Get(1)); }
    uint16_t U16() { return static_cast<uint16_t>(Get(2)); }
    uint32_t U32() { return Get(4); }
    int16_t S16() { return static_cast<int16_t>(Get(2)); }
    std::wstring Text() {
        std::wstring text;
        for (uint16_t c = U16(); ok_ && c != 0; c = U16()) text += static_cast<wchar_t>(c);
        return text;
    }
    // A name or an ordinal (0xFFFF followed by the number).
    std::wstring NameOrOrdinal(uint16_t* ordinal) {
        *ordinal = 0;
        uint16_t first = U16();
        if (first == 0) return std::wstring();
        if (first == 0xFFFF) {
            *ordinal = U16();
            return std::wstring();
        }
        std::wstring text(1, static_cast<wchar_t>(first));
        return text + Text();
    }

private:
    Bytes bytes_;
    size_t offset_ = 0;
    bool ok_ = true;
};

// --- Icons and pictures -----------------------------------------------------

struct IconEntry {
    int width;
    int height;
    int bitCount;
    int iconId;
};

// The entries of an icon group (GRPICONDIR).
std::vector<IconEntry> IconGroup(int id) {
    std::vector<IconEntry> entries;
    Bytes group = FindBytes(id, RT_GROUP_ICON);
    if (group.data == nullptr) return entries;
    Reader r(group);
    r.U16();
    if (r.U16() != 1) return entries;
    const unsigned count = r.U16();
    for (unsigned i = 0; i < count; ++i) {
        IconEntry e;
        e.width = r.U8();
        e.height = r.U8();
        r.U8();
        r.U8();
        r.U16();
        e.bitCount = r.U16();
        r.U32();
        e.iconId = r.U16();
        if (!r.ok()) break;
        if (e.width == 0) e.width = 256;
        if (e.height == 0) e.height = 256;
        entries.push_back(e);
    }
    return entries;
}

struct Pixel {
    uint8_t r, g, b, a;
};

// Pixels top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Pixel> pixels;
    std::vector<bool> masked;  // AND mask of icons: drawn as background
    const Pixel& At(int x, int y) const { return pixels[y * width + x]; }
};

// A 32-bit icon image as stored (header, BGRA bottom-up, AND mask).
bool DecodeIconImage(Bytes bytes, Image* image) {
    Reader r(bytes);
    if (r.U32() != 40) return false;
    const int width = static_cast<int32_t>(r.U32());
    const int height = static_cast<int32_t>(r.U32()) / 2;
    r.U16();
    const int bitCount = r.U16();
    const uint32_t compression = r.U32();
    if (!r.ok() || bitCount != 32 || compression != BI_RGB || width <= 0 || height <= 0) return false;
    const size_t colours = 40;
    const size_t maskStride = ((width + 31) / 32) * 4;
    if (bytes.size < colours + size_t(width) * height * 4 + maskStride * height) return false;
    image->width = width;
    image->height = height;
    image->pixels.assign(size_t(width) * height, Pixel{});
    image->masked.assign(size_t(width) * height, false);
    const unsigned char* mask = bytes.data + colours + size_t(width) * height * 4;
    for (int y = 0; y < height; ++y) {
        const int row = height - 1 - y;
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = bytes.data + colours + (size_t(row) * width + x) * 4;
            image->pixels[y * width + x] = Pixel{p[2], p[1], p[0], p[3]};
            image->masked[y * width + x] = (mask[row * maskStride + x / 8] & (0x80 >> (x % 8))) != 0;
        }
    }
    return true;
}

// A 24-bit bitmap resource (BITMAPINFOHEADER, BGR bottom-up rows).
bool DecodeBitmap(Bytes bytes, Image* image, int* bitCount) {
    Reader r(bytes);
    if (r.U32() != 40) return false;
    const int width = static_cast<int32_t>(r.U32());
    const int height = static_cast<int32_t>(r.U32());
    r.U16();
    *bitCount = r.U16();
    const uint32_t compression = r.U32();
    if (!r.ok() || *bitCount != 24 || compression != BI_RGB || width <= 0 || height <= 0) return false;
    const size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
    if (bytes.size < 40 + stride * height) return false;
    image->width = width;
    image->height = height;
    image->pixels.assign(size_t(width) * height, Pixel{});
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = bytes.data + 40 + stride * (height - 1 - y);
        for (int x = 0; x < width; ++x)
            image->pixels[y * width + x] = Pixel{row[x * 3 + 2], row[x * 3 + 1], row[x * 3], 255};
    }
    return true;
}

// The mean hue (degrees) of the clearly coloured, mostly opaque pixels, or
// -1 when fewer than a tenth of the image is coloured (a grey picture).
double DominantHue(const Image& image) {
    double sx = 0, sy = 0;
    size_t coloured = 0;
    for (const Pixel& p : image.pixels) {
        if (p.a < 128) continue;
        const int hi = std::max(p.r, std::max(p.g, p.b));
        const int lo = std::min(p.r, std::min(p.g, p.b));
        if (hi < 80 || hi - lo < 0.4 * hi) continue;
        double hue;
        const double d = hi - lo;
        if (hi == p.r)
            hue = 60.0 * std::fmod((p.g - p.b) / d + 6.0, 6.0);
        else if (hi == p.g)
            hue = 60.0 * ((p.b - p.r) / d + 2.0);
        else
            hue = 60.0 * ((p.r - p.g) / d + 4.0);
        sx += std::cos(hue * kPi / 180.0);
        sy += std::sin(hue * kPi / 180.0);
        ++coloured;
    }
    if (coloured * 10 < image.pixels.size()) return -1.0;
    const double hue = std::atan2(sy, sx) * 180.0 / kPi;
    return hue < 0 ? hue + 360.0 : hue;
}

enum HueClass { kGreen, kAmber, kRed, kOrange, kGrey, kOther };

const char* HueName(HueClass c) {
    static const char* const names[] = {"green", "amber", "red", "orange", "grey", "other"};
    return names[c];
}

HueClass ClassifyHue(double hue) {
    if (hue < 0) return kGrey;
    if (hue >= 345 || hue < 12) return kRed;
    if (hue < 35) return kOrange;
    if (hue < 62) return kAmber;
    if (hue >= 90 && hue < 160) return kGreen;
    return kOther;
}

// Width and height of a loaded icon's colour image.
SIZE IconSize(HICON icon) {
    SIZE size = {0, 0};
    ICONINFO info;
    if (!GetIconInfo(icon, &info)) return size;
    BITMAP bitmap;
    if (info.hbmColor != nullptr && GetObjectW(info.hbmColor, sizeof bitmap, &bitmap)) {
        size.cx = bitmap.bmWidth;
        size.cy = bitmap.bmHeight;
    }
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
    return size;
}

SIZE LoadedIconSize(int id, int size) {
    HICON icon = static_cast<HICON>(LoadImageW(Module(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
    SIZE result = {0, 0};
    if (icon == nullptr) return result;
    result = IconSize(icon);
    DestroyIcon(icon);
    return result;
}

const int kSixteenPixelIcons[] = {102, 103, 104, 105, 106, 110, 111, 112, 113, 114, 115, 116};

TEST(ProgramIcon, HoldsThe32BitSizesFrom256Down) {
    std::vector<IconEntry> entries = IconGroup(101);
    ASSERT_FALSE(entries.empty());
    std::set<int> sizes;
    for (const IconEntry& e : entries) {
        EXPECT_EQ(e.width, e.height);
        EXPECT_EQ(e.bitCount, 32) << e.width;
        sizes.insert(e.width);
    }
    for (int size : {16, 24, 32, 48, 256}) EXPECT_EQ(sizes.count(size), 1u) << "no " << size << "-pixel image";
    EXPECT_EQ(sizes.size(), entries.size()) << "a size is there twice";

    // Each size loads through the system at its own size.
    for (int size : sizes) {
        SIZE loaded = LoadedIconSize(101, size);
        EXPECT_EQ(loaded.cx, size);
        EXPECT_EQ(loaded.cy, size);
    }
}

TEST(ProgramIcon, Stores256PixelImageAsPng) {
    for (const IconEntry& e : IconGroup(101)) {
        if (e.width != 256) continue;
        Bytes image = FindBytes(e.iconId, RT_ICON);
        ASSERT_GE(image.size, 24u);
        EXPECT_EQ(0, std::memcmp(image.data, "\x89PNG\r\n\x1a\n", 8));
        auto bigEndian = [&](size_t at) {
            return uint32_t(image.data[at]) << 24 | uint32_t(image.data[at + 1]) << 16 |
                   uint32_t(image.data[at + 2]) << 8 | image.data[at + 3];
        };
        const uint32_t width = bigEndian(16), height = bigEndian(20);
        EXPECT_EQ(width, 256u);
        EXPECT_EQ(height, 256u);
        EXPECT_EQ(image.data[24], 8) << "bit depth";
        EXPECT_EQ(image.data[25], 6) << "colour type: RGBA";
        return;
    }
    FAIL() << "no 256-pixel image";
}

TEST(SixteenPixelIcons, EachHoldsOneDrawn32BitImage) {
    for (int id : kSixteenPixelIcons) {
        SCOPED_TRACE(id);
        std::vector<IconEntry> entries = IconGroup(id);
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].width, 16);
        EXPECT_EQ(entries[0].height, 16);
        EXPECT_EQ(entries[0].bitCount, 32);

        Image image;
        ASSERT_TRUE(DecodeIconImage(FindBytes(entries[0].iconId, RT_ICON), &image));
        ASSERT_EQ(image.width, 16);
        ASSERT_EQ(image.height, 16);
        // A shape with a see-through surround, not a filled square, and a mask
        // that agrees with the alpha channel.
        for (int corner : {0, 15, 240, 255}) EXPECT_EQ(image.pixels[corner].a, 0) << "corner " << corner;
        size_t opaque = 0;
        for (size_t i = 0; i < image.pixels.size(); ++i) {
            if (image.pixels[i].a == 255) ++opaque;
            EXPECT_EQ(image.masked[i], image.pixels[i].a == 0) << "pixel " << i;
        }
        EXPECT_GE(opaque, 32u);

        SIZE loaded = LoadedIconSize(id, 16);
        EXPECT_EQ(loaded.cx, 16);
        EXPECT_EQ(loaded.cy, 16);
    }
}

TEST(StatusIcons, ColourTellsTheHealthState) {
    const HueClass expected[] = {kGreen, kAmber, kRed, kGrey};  // good, caution, danger, error
    for (int state = 0; state < 4; ++state) {
        SCOPED_TRACE(103 + state);
        std::vector<IconEntry> entries = IconGroup(103 + state);
        ASSERT_EQ(entries.size(), 1u);
        Image image;
        ASSERT_TRUE(DecodeIconImage(FindBytes(entries[0].iconId, RT_ICON), &image));
        const double hue = DominantHue(image);
        EXPECT_STREQ(HueName(ClassifyHue(hue)), HueName(expected[state])) << "hue " << hue;
    }
}

TEST(StatusIcons, FillTheTabImageListAsTheProgramBuildsIt) {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 0);
    ASSERT_NE(list, nullptr);
    for (int state = 0; state < 4; ++state) {
        HICON icon = LoadIconA(Module(), MAKEINTRESOURCEA(103 + state));
        ASSERT_NE(icon, nullptr) << 103 + state;
        EXPECT_EQ(ImageList_ReplaceIcon(list, -1, icon), state);
    }
    EXPECT_EQ(ImageList_GetImageCount(list), 4);
    ImageList_Destroy(list);
}

TEST(StatusPictures, Are115PixelsAt24BitsAndLoadAsTheProgramLoadsThem) {
    for (int id = 150; id <= 154; ++id) {
        SCOPED_TRACE(id);
        Image image;
        int bitCount = 0;
        ASSERT_TRUE(DecodeBitmap(FindBytes(id, RT_BITMAP), &image, &bitCount));
        EXPECT_EQ(image.width, 115);
        EXPECT_EQ(image.height, 115);
        EXPECT_EQ(bitCount, 24);

        HBITMAP section = static_cast<HBITMAP>(
            LoadImageW(Module(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(section, nullptr);
        DIBSECTION dib;
        ASSERT_EQ(GetObjectW(section, sizeof dib, &dib), int(sizeof dib));
        EXPECT_EQ(dib.dsBm.bmWidth, 115);
        EXPECT_EQ(dib.dsBm.bmHeight, 115);
        EXPECT_EQ(dib.dsBm.bmBitsPixel, 24);
        DeleteObject(section);

        HBITMAP plain = static_cast<HBITMAP>(LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_VGACOLOR));
        ASSERT_NE(plain, nullptr);
        BITMAP bm;
        ASSERT_TRUE(GetObjectW(plain, sizeof bm, &bm));
        EXPECT_EQ(bm.bmWidth, 115);
        EXPECT_EQ(bm.bmHeight, 115);
        DeleteObject(plain);
    }
}

TEST(StatusPictures, ColourTellsTheState) {
    const HueClass expected[] = {kGreen, kAmber, kRed, kGrey, kOrange};  // good, caution, danger, error, hot
    for (int state = 0; state < 5; ++state) {
        SCOPED_TRACE(150 + state);
        Image image;
        int bitCount = 0;
        ASSERT_TRUE(DecodeBitmap(FindBytes(150 + state, RT_BITMAP), &image, &bitCount));
        const double hue = DominantHue(image);
        EXPECT_STREQ(HueName(ClassifyHue(hue)), HueName(expected[state])) << "hue " << hue;
    }
}

// --- Dialogs ----------------------------------------------------------------

struct ExpectedControl {
    int id;
    const wchar_t* className;
    int x, y, cx, cy;
    DWORD style;
};

struct ExpectedDialog {
    int id;
    DWORD style;
    DWORD exStyle;
    int cx, cy;
    const wchar_t* caption;
    std::vector<ExpectedControl> controls;
};

// "ＭＳ ゴシック"
const wchar_t kFace[] = L"\xFF2D\xFF33\x0020\x30B4\x30B7\x30C3\x30AF";

const DWORD kPanel = WS_CHILD | SS_CENTER | SS_CENTERIMAGE | SS_REALSIZEIMAGE;
const DWORD kPlainPanel = WS_CHILD | SS_CENTER | SS_CENTERIMAGE;

ExpectedDialog MainDialog() {
    return {200,
            WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_SETFONT,
            WS_EX_ACCEPTFILES,
            450,
            429,
            L"S.M.A.R.T.",
            {{1001, L"SysTabControl32", 2, 2, 446, 426, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS}}};
}

ExpectedDialog PageDialog() {
    const DWORD list = WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL;
    return {201,
            WS_CHILD | WS_CLIPCHILDREN | DS_CONTROL | DS_SETFONT,
            WS_EX_ACCEPTFILES,
            442,
            396,
            L"",
            {{1010, L"Static", 4, 6, 340, 22, kPanel},
             {1011, L"Static", 4, 34, 166, 22, kPanel},
             {1012, L"Static", 178, 34, 166, 22, kPanel | WS_GROUP},
             {1015, L"Static", 4, 62, 110, 22, kPlainPanel},
             {1014, L"Static", 121, 62, 108, 22, kPanel},
             {1016, L"Static", 236, 62, 108, 22, kPlainPanel},
             {1013, L"Static", 356, 6, 78, 78, kPlainPanel},
             {1100, L"SysListView32", 2, 88, 436, 150, list | LVS_NOLABELWRAP},
             {1101, L"SysListView32", 2, 242, 436, 150, list}}};
}

bool SameClass(const std::wstring& a, const wchar_t* b) { return CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL; }

struct ItemTemplate {
    DWORD style, exStyle;
    int x, y, cx, cy;
    DWORD id;
    std::wstring className;
    uint16_t classAtom;
};

struct DialogTemplate {
    bool ok = false;
    uint16_t version = 0, signature = 0;
    DWORD style = 0, exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::wstring menu, windowClass, caption, face;
    uint16_t pointSize = 0, weight = 0;
    std::vector<ItemTemplate> items;
};

// DLGTEMPLATEEX and its DLGITEMTEMPLATEEX entries, read as stored.
DialogTemplate ReadDialogTemplate(int id) {
    DialogTemplate t;
    Bytes bytes = FindBytes(id, RT_DIALOG);
    if (bytes.data == nullptr) return t;
    Reader r(bytes);
    t.version = r.U16();
    t.signature = r.U16();
    if (t.version != 1 || t.signature != 0xFFFF) return t;
    r.U32();  // help id
    t.exStyle = r.U32();
    t.style = r.U32();
    const unsigned count = r.U16();
    t.x = r.S16();
    t.y = r.S16();
    t.cx = r.S16();
    t.cy = r.S16();
    uint16_t ordinal;
    t.menu = r.NameOrOrdinal(&ordinal);
    t.windowClass = r.NameOrOrdinal(&ordinal);
    t.caption = r.Text();
    if (t.style & (DS_SETFONT | DS_SHELLFONT)) {
        t.pointSize = r.U16();
        t.weight = r.U16();
        r.U8();
        r.U8();
        t.face = r.Text();
    }
    for (unsigned i = 0; i < count && r.ok(); ++i) {
        ItemTemplate item;
        r.AlignTo4();
        r.U32();  // help id
        item.exStyle = r.U32();
        item.style = r.U32();
        item.x = r.S16();
        item.y = r.S16();
        item.cx = r.S16();
        item.cy = r.S16();
        item.id = r.U32();
        item.className = r.NameOrOrdinal(&item.classAtom);
        r.NameOrOrdinal(&ordinal);  // title
        const unsigned extra = r.U16();
        r.Seek(r.offset() + extra);
        t.items.push_back(item);
    }
    t.ok = r.ok() && t.items.size() == count;
    return t;
}

TEST(DialogTemplates, MatchTheLayoutStylesAndFont) {
    for (const ExpectedDialog& expected : {MainDialog(), PageDialog()}) {
        SCOPED_TRACE(expected.id);
        DialogTemplate t = ReadDialogTemplate(expected.id);
        ASSERT_TRUE(t.ok) << "no extended dialog template";
        EXPECT_EQ(t.style, expected.style);
        EXPECT_EQ(t.exStyle, expected.exStyle);
        EXPECT_EQ(t.x, 0);
        EXPECT_EQ(t.y, 0);
        EXPECT_EQ(t.cx, expected.cx);
        EXPECT_EQ(t.cy, expected.cy);
        EXPECT_TRUE(t.menu.empty());
        EXPECT_TRUE(t.windowClass.empty());
        EXPECT_TRUE(t.caption == expected.caption);
        EXPECT_EQ(t.pointSize, 9);
        EXPECT_TRUE(t.face == kFace) << "font face differs";

        ASSERT_EQ(t.items.size(), expected.controls.size());
        for (size_t i = 0; i < expected.controls.size(); ++i) {
            const ExpectedControl& c = expected.controls[i];
            const ItemTemplate& item = t.items[i];
            SCOPED_TRACE(c.id);
            EXPECT_EQ(item.id, DWORD(c.id));
            // A system class may be stored by its atom (0x82 is Static).
            if (item.classAtom != 0)
                EXPECT_TRUE(item.classAtom == 0x82 && SameClass(L"Static", c.className)) << item.classAtom;
            else
                EXPECT_TRUE(SameClass(item.className, c.className));
            EXPECT_EQ(item.style, c.style);
            EXPECT_EQ(item.exStyle, 0u);
            EXPECT_EQ(item.x, c.x);
            EXPECT_EQ(item.y, c.y);
            EXPECT_EQ(item.cx, c.cx);
            EXPECT_EQ(item.cy, c.cy);
        }
    }
}

INT_PTR CALLBACK IgnoreAll(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

class CreatedDialogs : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
    }
    void TearDown() override {
        if (page_ != nullptr) DestroyWindow(page_);
        if (parent_ != nullptr) DestroyWindow(parent_);
        if (main_ != nullptr) DestroyWindow(main_);
    }

    // Every control where the template puts it, with its class and styles.
    static void ExpectControls(HWND dialog, const ExpectedDialog& expected) {
        for (const ExpectedControl& c : expected.controls) {
            SCOPED_TRACE(c.id);
            HWND control = GetDlgItem(dialog, c.id);
            ASSERT_NE(control, nullptr);
            wchar_t className[64] = {};
            GetClassNameW(control, className, 64);
            EXPECT_TRUE(SameClass(className, c.className)) << "class differs";
            // Dialogs with the 3-D look draw a control's border as a sunken
            // client edge instead.
            DWORD style = GetWindowLongW(control, GWL_STYLE);
            if ((c.style & WS_BORDER) && !(style & WS_BORDER) &&
                (GetWindowLongW(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE))
                style |= WS_BORDER;
            EXPECT_EQ(style, c.style);

            // The dialog manager converts the origin and the size, each
            // rounded on its own.
            RECT units = {c.x, c.y, c.cx, c.cy};
            ASSERT_TRUE(MapDialogRect(dialog, &units));
            RECT actual;
            GetWindowRect(control, &actual);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
            EXPECT_EQ(actual.left, units.left);
            EXPECT_EQ(actual.top, units.top);
            EXPECT_EQ(actual.right - actual.left, units.right);
            EXPECT_EQ(actual.bottom - actual.top, units.bottom);
        }
    }

    static void ExpectClientSize(HWND dialog, const ExpectedDialog& expected) {
        RECT size = {0, 0, expected.cx, expected.cy};
        ASSERT_TRUE(MapDialogRect(dialog, &size));
        RECT client;
        GetClientRect(dialog, &client);
        EXPECT_EQ(client.right, size.right);
        EXPECT_EQ(client.bottom, size.bottom);
    }

    HWND main_ = nullptr;
    HWND parent_ = nullptr;
    HWND page_ = nullptr;
};

TEST_F(CreatedDialogs, MainWindowIsAPopupWithCaptionAndOneTabControl) {
    const ExpectedDialog expected = MainDialog();
    main_ = CreateDialogParamW(Module(), MAKEINTRESOURCEW(200), nullptr, IgnoreAll, 0);
    ASSERT_NE(main_, nullptr);
    // The system adds WS_CLIPSIBLINGS to every top-level window and
    // WS_EX_WINDOWEDGE to a framed one; the dialog manager adds the 3-D look
    // and makes every dialog a control parent.
    EXPECT_EQ(DWORD(GetWindowLongW(main_, GWL_STYLE)) & ~(WS_CLIPSIBLINGS | DS_3DLOOK), expected.style);
    EXPECT_EQ(DWORD(GetWindowLongW(main_, GWL_EXSTYLE)) & ~(WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT), expected.exStyle);
    EXPECT_FALSE(IsWindowVisible(main_));
    wchar_t caption[32] = {};
    GetWindowTextW(main_, caption, 32);
    EXPECT_STREQ(caption, L"S.M.A.R.T.");
    ExpectClientSize(main_, expected);
    ExpectControls(main_, expected);
    EXPECT_EQ(GetWindow(GetWindow(main_, GW_CHILD), GW_HWNDNEXT), nullptr) << "more than one control";
}

TEST_F(CreatedDialogs, DrivePageIsAHiddenChildWithPanelsAndTwoLists) {
    const ExpectedDialog expected = PageDialog();
    parent_ = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 1000, 900, nullptr, nullptr, Module(), nullptr);
    ASSERT_NE(parent_, nullptr);
    page_ = CreateDialogParamW(Module(), MAKEINTRESOURCEW(201), parent_, IgnoreAll, 0);
    ASSERT_NE(page_, nullptr);
    EXPECT_EQ(GetParent(page_), parent_);
    EXPECT_EQ(DWORD(GetWindowLongW(page_, GWL_STYLE)) & ~DS_3DLOOK, expected.style);
    // A DS_CONTROL dialog is made a control parent, so Tab moves into it.
    EXPECT_EQ(DWORD(GetWindowLongW(page_, GWL_EXSTYLE)), expected.exStyle | WS_EX_CONTROLPARENT);
    wchar_t caption[8] = {L'?', 0};
    GetWindowTextW(page_, caption, 8);
    EXPECT_STREQ(caption, L"");
    ExpectClientSize(page_, expected);
    ExpectControls(page_, expected);

    int children = 0;
    for (HWND child = GetWindow(page_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) ++children;
    EXPECT_EQ(children, 9);
}

// --- Version block and manifest ---------------------------------------------

std::wstring ModulePath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

TEST(VersionBlock, HasOneTranslationAndPlainAsciiValuesThatAgreeWithTheNumbers) {
    const std::wstring path = ModulePath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<unsigned char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u) << "exactly one translation entry";
    const WORD language = static_cast<WORD*>(value)[0];
    const WORD codePage = static_cast<WORD*>(value)[1];

    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", &value, &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    const VS_FIXEDFILEINFO fixed = *static_cast<VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);

    auto query = [&](const wchar_t* name) {
        wchar_t key[128];
        swprintf(key, 128, L"\\StringFileInfo\\%04x%04x\\%ls", language, codePage, name);
        void* text = nullptr;
        UINT chars = 0;
        if (!VerQueryValueW(block.data(), key, &text, &chars) || text == nullptr) return std::wstring(L"(missing)");
        return std::wstring(static_cast<wchar_t*>(text));
    };
    auto numbers = [](DWORD ms, DWORD ls) {
        wchar_t text[64];
        swprintf(text, 64, L"%u.%u.%u.%u", HIWORD(ms), LOWORD(ms), HIWORD(ls), LOWORD(ls));
        return std::wstring(text);
    };

    EXPECT_TRUE(query(L"ProductName") == L"Veldakor");
    EXPECT_TRUE(query(L"FileVersion") == numbers(fixed.dwFileVersionMS, fixed.dwFileVersionLS));
    EXPECT_TRUE(query(L"ProductVersion") == numbers(fixed.dwProductVersionMS, fixed.dwProductVersionLS));
    for (const wchar_t* name : {L"FileDescription", L"FileVersion", L"ProductVersion", L"LegalCopyright",
                                L"ProductName", L"OriginalFilename"}) {
        const std::wstring text = query(name);
        EXPECT_FALSE(text.empty()) << "empty value";
        EXPECT_NE(text, L"(missing)") << "missing value";
        for (wchar_t c : text) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "not plain ASCII: " << int(c);
    }
}

TEST(Manifest, AsksForCommonControls6AndNoExecutionLevel) {
    Bytes manifest = FindBytes(1, RT_MANIFEST);
    ASSERT_NE(manifest.data, nullptr);
    const std::string text(reinterpret_cast<const char*>(manifest.data), manifest.size);
    EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\""), std::string::npos);
    EXPECT_NE(text.find("version=\"6.0.0.0\""), std::string::npos);
    // Both identities name the architecture of this build.
#ifdef _WIN64
    const std::string architecture = "processorArchitecture=\"amd64\"";
#else
    const std::string architecture = "processorArchitecture=\"x86\"";
#endif
    const std::string key = "processorArchitecture=";
    std::size_t named = 0;
    for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1)) {
        EXPECT_EQ(0, text.compare(at, architecture.size(), architecture));
        ++named;
    }
    EXPECT_EQ(2u, named);
    // An execution level would switch off the file virtualization the
    // settings file in the Windows directory depends on.
    EXPECT_EQ(text.find("requestedExecutionLevel"), std::string::npos);

    // And the loader took it: the common controls in use are the version 6
    // assembly's, from the side-by-side store, not the system folder's.
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(comctl, path, MAX_PATH);
    std::wstring lower(path);
    for (wchar_t& c : lower) c = towlower(c);
    EXPECT_NE(lower.find(L"microsoft.windows.common-controls_"), std::wstring::npos) << "loaded from " << lower;
    EXPECT_NE(lower.find(L"_6.0."), std::wstring::npos) << "loaded from " << lower;
}

}  // namespace
