// The icon store: its file in any depth, broken files, resizing, cells, and
// the round trip through a close and the next start.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/file_io.h"
#include "app/app.h"
#include "model/bmp_file.h"
#include "win/icon_store.h"
#include "win/shell.h"
#include "launcher/main_form.h"
#include "launcher/tests/launcher_fixture.h"

namespace kb {
namespace {

using testing::TempExeFolder;

const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);

COLORREF Face() { return GetSysColor(COLOR_BTNFACE); }

void Put(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A bottom-up palettised bitmap file; index(x, y) gives each pixel's entry
// (y from the top).
std::string PaletteBmp(int width, int height, int bits, const std::vector<COLORREF>& palette,
                       const std::function<int(int, int)>& index) {
  const uint32_t stride = ((static_cast<uint32_t>(width) * bits + 31) / 32) * 4;
  const uint32_t offset = 14 + 40 + (1u << bits) * 4;
  std::string s = "BM";
  Put(s, offset + stride * height, 4);
  Put(s, 0, 4);
  Put(s, offset, 4);
  Put(s, 40, 4);
  Put(s, width, 4);
  Put(s, height, 4);
  Put(s, 1, 2);
  Put(s, bits, 2);
  Put(s, 0, 4);
  Put(s, stride * height, 4);
  Put(s, 0, 4);
  Put(s, 0, 4);
  Put(s, 0, 4);
  Put(s, 0, 4);
  for (uint32_t i = 0; i < (1u << bits); ++i) {
    const COLORREF c = i < palette.size() ? palette[i] : 0;
    s.push_back(static_cast<char>(GetBValue(c)));
    s.push_back(static_cast<char>(GetGValue(c)));
    s.push_back(static_cast<char>(GetRValue(c)));
    s.push_back(0);
  }
  for (int row = height - 1; row >= 0; --row) {
    std::string line(stride, '\0');
    for (int x = 0; x < width; ++x) {
      const int v = index(x, row);
      if (bits == 8) {
        line[x] = static_cast<char>(v);
      } else {
        const int shift = (x % 2) ? 0 : 4;
        line[x / 2] = static_cast<char>(line[x / 2] | (v << shift));
      }
    }
    s += line;
  }
  return s;
}

// A 24-bit store file of columns × rows cells, face everywhere except the
// listed cells, each filled with its colour.
std::string StoreFile(int columns, int rows, const std::vector<std::tuple<int, int, COLORREF>>& cells) {
  const int width = columns * 32, height = rows * 32;
  const COLORREF face = Face();
  auto pixel = [](COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); };
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, pixel(face));
  for (const auto& [column, row, colour] : cells) {
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        pixels[static_cast<size_t>(row * 32 + y) * width + column * 32 + x] = pixel(colour);
  }
  return EncodeBmp24(width, height, pixels);
}

HBITMAP SolidBitmap(COLORREF colour) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
  ReleaseDC(nullptr, screen);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  HBRUSH brush = CreateSolidBrush(colour);
  RECT all{0, 0, 32, 32};
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap;
}

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const COLORREF c = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  return c;
}

bool AllFace(const IconStore& store) {
  for (int y = 0; y < store.PixelHeight(); y += 7)
    for (int x = 0; x < store.PixelWidth(); x += 7)
      if (store.PixelAt(x, y) != Face()) return false;
  return true;
}

TEST(IconStore, BrokenFilesGiveAnEmptyStoreOfTheRightSize) {
  TempExeFolder folder;
  std::string absurd = StoreFile(2, 2, {});
  absurd[18] = '\xFF';  // width 0x...FF: far larger than the file
  absurd[21] = '\x7F';
  const std::string truncated = StoreFile(16, 16, {{0, 0, kRed}}).substr(0, 5000);
  for (const std::string& bytes : {std::string(3000, '\x5A'), truncated, absurd, std::string()}) {
    folder.WriteData("Iconbmp.dat", bytes);
    IconStore store;
    EXPECT_FALSE(store.Load(folder.DataPath("Iconbmp.dat"), 16, 10));
    EXPECT_EQ(store.PixelWidth(), 512);
    EXPECT_EQ(store.PixelHeight(), 320);
    EXPECT_TRUE(AllFace(store));
  }
}

TEST(IconStore, EightAndFourBitFilesLoad) {
  TempExeFolder folder;
  const auto cellOneOne = [](int x, int y) { return (x / 32 == 1 && y / 32 == 1) ? 1 : 0; };
  folder.WriteData("Iconbmp.dat", PaletteBmp(64, 64, 8, {kBlue, kRed}, cellOneOne));
  IconStore store;
  ASSERT_TRUE(store.Load(folder.DataPath("Iconbmp.dat"), 3, 3));
  EXPECT_EQ(store.PixelAt(40, 40), kRed);
  EXPECT_EQ(store.PixelAt(5, 5), kBlue);
  EXPECT_EQ(store.PixelAt(70, 70), Face());  // beyond the file: button face

  folder.WriteData("Iconbmp.dat", PaletteBmp(64, 64, 4, {kGreen, kRed}, cellOneOne));
  ASSERT_TRUE(store.Load(folder.DataPath("Iconbmp.dat"), 2, 2));
  EXPECT_EQ(store.PixelAt(63, 63), kRed);
  EXPECT_EQ(store.PixelAt(31, 40), kGreen);
}

TEST(IconStore, LoadingKeepsTheLeftPartAndEveryRow) {
  TempExeFolder folder;
  folder.WriteData("Iconbmp.dat", StoreFile(30, 30, {{2, 1, kRed}, {25, 25, kBlue}}));
  IconStore store;
  ASSERT_TRUE(store.Load(folder.DataPath("Iconbmp.dat"), 16, 16));
  EXPECT_EQ(store.Columns(), 16);
  EXPECT_EQ(store.Rows(), 30) << "rows of groups that do not fit now stay";
  EXPECT_EQ(store.PixelAt(2 * 32 + 31, 1 * 32), kRed);
  EXPECT_EQ(store.PixelAt(2 * 32 + 31, 2 * 32), Face());

  store.Resize(40, 40);
  EXPECT_EQ(store.PixelAt(2 * 32, 1 * 32 + 31), kRed);
  EXPECT_EQ(store.PixelAt(25 * 32, 25 * 32), Face());  // its column was dropped at the load
  store.Resize(2, 2);
  EXPECT_EQ(store.PixelWidth(), 64);
  EXPECT_EQ(store.PixelAt(1 * 32, 1 * 32), Face());
  EXPECT_FALSE(store.HasCell(2, 1));
}

// A store saved and loaded again into a larger one keeps every cell; what
// the file does not cover, to the right, below and in the corner, is button
// face, also where the larger store's memory held other pixels before.
TEST(IconStore, SavedStoreLoadsBackAndUncoveredCellsAreFace) {
  TempExeFolder folder;
  folder.WriteData("Iconbmp.dat", "an older file that the save replaces");
  IconStore saved;
  saved.Load("C:\\no such folder\\Iconbmp.dat", 2, 2);
  HBITMAP red = SolidBitmap(kRed);
  HBITMAP blue = SolidBitmap(kBlue);
  ASSERT_TRUE(saved.CopyToCell(red, 1, 0));
  ASSERT_TRUE(saved.CopyToCell(blue, 0, 1));
  ASSERT_TRUE(saved.Save(folder.DataPath("Iconbmp.dat")));
  DeleteObject(red);
  DeleteObject(blue);

  IconStore store;
  ASSERT_TRUE(store.Load(folder.DataPath("Iconbmp.dat"), 3, 3));
  EXPECT_EQ(store.PixelAt(32, 0), kRed);
  EXPECT_EQ(store.PixelAt(63, 31), kRed);
  EXPECT_EQ(store.PixelAt(0, 32), kBlue);
  EXPECT_EQ(store.PixelAt(31, 63), kBlue);
  EXPECT_EQ(store.PixelAt(0, 0), Face());
  EXPECT_EQ(store.PixelAt(70, 10), Face());  // right of the file
  EXPECT_EQ(store.PixelAt(10, 70), Face());  // below it
  EXPECT_EQ(store.PixelAt(90, 90), Face());  // the corner
  // As wide as the file, with more rows: the rows are read straight in.
  IconStore same;
  ASSERT_TRUE(same.Load(folder.DataPath("Iconbmp.dat"), 2, 3));
  EXPECT_EQ(same.PixelAt(63, 0), kRed);
  EXPECT_EQ(same.PixelAt(0, 63), kBlue);
  EXPECT_EQ(same.PixelAt(40, 40), Face());
  EXPECT_EQ(same.PixelAt(10, 70), Face());
  EXPECT_EQ(same.PixelAt(63, 95), Face());
  // and with fewer: the file's second row stays all the same.
  ASSERT_TRUE(same.Load(folder.DataPath("Iconbmp.dat"), 2, 1));
  EXPECT_EQ(same.PixelAt(32, 31), kRed);
  EXPECT_EQ(same.PixelAt(0, 63), kBlue);
  EXPECT_EQ(same.PixelHeight(), 64);
  // A saved file cut short is refused whole: an empty store, not a torn one.
  const std::string full = folder.ReadData("Iconbmp.dat");
  folder.WriteData("Iconbmp.dat", full.substr(0, full.size() - 100));
  EXPECT_FALSE(same.Load(folder.DataPath("Iconbmp.dat"), 2, 2));
  EXPECT_TRUE(AllFace(same));

  // Loading a smaller file into the same store again leaves no old pixels.
  folder.WriteData("Iconbmp.dat", StoreFile(1, 1, {}));
  ASSERT_TRUE(store.Load(folder.DataPath("Iconbmp.dat"), 3, 3));
  EXPECT_EQ(store.PixelAt(32, 0), Face());
  EXPECT_EQ(store.PixelAt(0, 32), Face());
}

TEST(IconStore, CellHelpers) {
  IconStore store;
  store.Load("C:\\no such folder\\Iconbmp.dat", 4, 3);
  HBITMAP red = SolidBitmap(kRed);
  EXPECT_TRUE(store.CopyToCell(red, 1, 2));
  EXPECT_FALSE(store.CopyToCell(red, 4, 0));
  EXPECT_EQ(store.PixelAt(32, 64), kRed);
  EXPECT_EQ(store.PixelAt(63, 95), kRed);
  EXPECT_EQ(store.PixelAt(64, 64), Face());

  EXPECT_TRUE(store.CopyCell(1, 2, 3, 0));
  EXPECT_EQ(store.PixelAt(3 * 32 + 10, 10), kRed);
  EXPECT_FALSE(store.CopyCell(1, 2, 3, 3));

  HBITMAP target = SolidBitmap(kBlue);
  EXPECT_TRUE(store.CopyCellTo(3, 0, target));
  EXPECT_EQ(BitmapPixel(target, 0, 31), kRed);
  EXPECT_TRUE(store.FillCellWithFace(3, 0));
  EXPECT_TRUE(store.CopyCellTo(3, 0, target));
  EXPECT_EQ(BitmapPixel(target, 16, 16), Face());
  EXPECT_FALSE(store.FillCellWithFace(-1, 0));
  DeleteObject(red);
  DeleteObject(target);
}

// Cells reach the buttons' own glyphs (copied as memory) and bitmaps of
// any other kind (drawn) alike: every pixel, the right way up, from any row
// and column.
TEST(IconStore, CellsReachGlyphsOfEitherKindPixelForPixel) {
  TempExeFolder folder;
  const int columns = 4, rows = 3, width = columns * 32, height = rows * 32;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint32_t>(i * 2654435761u) >> 8;
  folder.WriteData("Iconbmp.dat", EncodeBmp24(width, height, pixels));
  IconStore store;
  ASSERT_TRUE(store.Load(folder.DataPath("Iconbmp.dat"), columns, rows));

  const auto expectCell = [&](HBITMAP glyph, int column, int row) {
    int wrong = 0;
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        wrong += BitmapPixel(glyph, x, y) != store.PixelAt(column * 32 + x, row * 32 + y);
      }
    }
    EXPECT_EQ(wrong, 0) << "cell " << column << "," << row;
  };
  uint32_t* ownPixels = nullptr;
  HBITMAP own = win::CreateBlankGlyph(&ownPixels), other = SolidBitmap(kBlue);
  ASSERT_TRUE(store.CopyCellToGlyph(3, 2, ownPixels));
  expectCell(own, 3, 2);
  ASSERT_TRUE(store.CopyCellTo(3, 2, other));
  expectCell(other, 3, 2);
  EXPECT_FALSE(store.CopyCellToGlyph(4, 0, ownPixels));  // no such cell: left alone
  expectCell(own, 3, 2);

  // A row: as many glyphs as the store has slot columns, null ones skipped.
  uint32_t* row[4] = {};
  HBITMAP glyphs[] = {win::CreateBlankGlyph(&row[0]), win::CreateBlankGlyph(&row[2]),
                      win::CreateBlankGlyph(&row[3])};
  EXPECT_EQ(store.CopyRowToGlyphs(1, row, 4), 3);
  expectCell(glyphs[0], 1, 1);
  expectCell(glyphs[1], 3, 1);
  EXPECT_EQ(BitmapPixel(glyphs[2], 5, 5), Face());  // beyond the last column
  for (HBITMAP glyph : {own, other, glyphs[0], glyphs[1], glyphs[2]}) DeleteObject(glyph);
}

TEST(IconStore, IconsSurviveACloseAndComeBackAsGroupGlyphs) {
  TempExeFolder folder;
  {
    App app(AppOptions{folder.path(), 1024, 768});
    app.CreateForms();
    HBITMAP red = SolidBitmap(kRed);
    ASSERT_TRUE(app.Icons.CopyToCell(red, 0, 2));  // group 3's icon
    ASSERT_TRUE(app.Icons.CopyToCell(red, 15, 15));
    DeleteObject(red);
    app.Close();
  }
  App app(AppOptions{folder.path(), 1024, 768});
  app.CreateForms();
  EXPECT_EQ(app.Icons.PixelAt(10, 2 * 32 + 10), kRed);
  EXPECT_EQ(app.Icons.PixelAt(15 * 32 + 31, 15 * 32 + 31), kRed);
  EXPECT_EQ(BitmapPixel(app.MainForm().GroupButton(3)->GlyphBitmap(), 20, 20), kRed);
  EXPECT_EQ(BitmapPixel(app.MainForm().GroupButton(2)->GlyphBitmap(), 20, 20), Face());
}

// A start on a smaller screen lays out fewer groups; the rows of the others
// stay in the store and its file, in the same places, so their icons come
// back with them on the larger screen (their records stay in the settings).
TEST(IconStore, SmallerScreenKeepsTheRowsOfTheGroupsThatDoNotFit) {
  TempExeFolder folder;
  folder.WriteData("Iconbmp.dat", StoreFile(16, 23, {{0, 22, kRed}, {3, 19, kBlue}}));
  folder.WriteData("KBINI.dat", "[Info]\r\nType=0\r\n");
  {
    App app(AppOptions{folder.path(), 800, 600});  // 17 groups
    app.CreateForms();
    EXPECT_EQ(app.settings.GroupCount, 17);
    EXPECT_EQ(app.Icons.Rows(), 23);
    app.Close();
  }
  const auto info = ParseBmp(folder.ReadData("Iconbmp.dat"));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->width, 16 * 32);
  EXPECT_EQ(info->height, 23 * 32);

  App app(AppOptions{folder.path(), 1024, 768});  // 23 groups again
  app.CreateForms();
  EXPECT_EQ(BitmapPixel(app.MainForm().GroupButton(23)->GlyphBitmap(), 20, 20), kRed);
  EXPECT_EQ(app.Icons.PixelAt(3 * 32 + 5, 19 * 32 + 5), kBlue);
  EXPECT_EQ(app.Icons.PixelAt(3 * 32 + 5, 17 * 32 + 5), Face());
}

// The launcher's start loads the store in the background (a conversion on a
// thread, a file of the store's own layout read only at Settle, its group
// icons taken from the file meanwhile): the glyphs it hands out first, and
// whatever uses the store afterwards, are what a plain load gives, for every
// kind of file, with rows beyond the file.
TEST(IconStore, BackgroundLoadGivesWhatALoadGives) {
  TempExeFolder folder;
  folder.WriteData("garbage.dat", std::string(3000, '\x5A'));
  HBITMAP red = SolidBitmap(kRed);
  IconStore own;
  own.Load("C:\\no such folder\\Iconbmp.dat", 3, 5);
  ASSERT_TRUE(own.CopyToCell(red, 2, 4));
  ASSERT_TRUE(own.CopyToCell(red, 0, 3));
  ASSERT_TRUE(own.Save(folder.DataPath("own.dat")));
  DeleteObject(red);
  const std::string saved = folder.ReadData("own.dat");
  folder.WriteData("own_cut.dat", saved.substr(0, saved.size() - 100));
  folder.WriteData("24bit.dat", StoreFile(3, 5, {{2, 4, kRed}, {0, 3, kRed}}));
  folder.WriteData("8bit.dat", PaletteBmp(96, 160, 8, {Face(), kRed}, [](int x, int y) {
                     return (x / 32 == 2 && y / 32 == 4) || (x / 32 == 0 && y / 32 == 3) ? 1 : 0;
                   }));
  for (const char* name :
       {"own.dat", "own_cut.dat", "24bit.dat", "8bit.dat", "garbage.dat", "missing.dat"}) {
    SCOPED_TRACE(name);
    IconStore plain, background;
    const bool used = plain.Load(folder.DataPath(name), 3, 7);
    background.LoadInBackground(folder.DataPath(name), 3, 7);
    EXPECT_EQ(background.Rows(), plain.Rows());
    // The group column first, as the bar takes it.
    for (int row = 0; row < plain.Rows(); ++row) {
      uint32_t* pixels[2] = {};
      HBITMAP glyphs[] = {win::CreateBlankGlyph(&pixels[0]), win::CreateBlankGlyph(&pixels[1])};
      ASSERT_TRUE(background.CopyCellToGlyph(0, row, pixels[0]));
      ASSERT_TRUE(plain.CopyCellToGlyph(0, row, pixels[1]));
      EXPECT_TRUE(std::equal(pixels[0], pixels[0] + 32 * 32, pixels[1])) << "row " << row;
      for (HBITMAP glyph : glyphs) DeleteObject(glyph);
    }
    EXPECT_EQ(background.PixelAt(2 * 32 + 5, 4 * 32 + 5), plain.PixelAt(2 * 32 + 5, 4 * 32 + 5));
    EXPECT_EQ(background.PixelAt(5, 5), Face());
    EXPECT_EQ(background.PixelAt(40, 6 * 32 + 5), Face());  // below the file
    EXPECT_EQ(background.FileUnreadable(), plain.FileUnreadable());
    EXPECT_EQ(used, std::string(name) != "garbage.dat" && std::string(name) != "missing.dat" &&
                        std::string(name) != "own_cut.dat");
    if (used) {
      EXPECT_EQ(background.PixelAt(2 * 32 + 5, 4 * 32 + 5), kRed);
      EXPECT_EQ(background.PixelAt(5, 3 * 32 + 5), kRed);
    }
  }
  // Saved before anything else used it, the store writes the whole file.
  IconStore background;
  background.LoadInBackground(folder.DataPath("own.dat"), 3, 5);
  ASSERT_TRUE(background.Save(folder.DataPath("again.dat")));
  EXPECT_EQ(folder.ReadData("again.dat"), saved);
}

// The close replaces an unreadable "Iconbmp.dat" with the store: the file is
// kept beside it once, and the next close (the file now readable) keeps
// nothing more.
TEST(IconStore, UnreadableFileIsKeptAsideBeforeTheSaveReplacesIt) {
  TempExeFolder folder;
  const std::string garbage = "no bitmap at all " + std::string(4000, '\x5A');
  folder.WriteData("Iconbmp.dat", garbage);
  for (int start = 0; start < 2; ++start) {
    App app(AppOptions{folder.path(), 1024, 768});
    app.CreateForms();
    EXPECT_EQ(app.Icons.FileUnreadable(), start == 0);
    app.Close();
    EXPECT_FALSE(IsWindow(app.MainForm().hwnd())) << "the close went through";
    EXPECT_EQ(folder.ReadData("Iconbmp.dat.bad"), garbage) << start;
    EXPECT_TRUE(ParseBmp(folder.ReadData("Iconbmp.dat"))) << start;
  }
}

// The launcher's folder may come without its backslash, and may end in a
// character whose second byte is 0x5C ("表"): the icon store's path is
// joined as the settings file's is, inside that folder.
TEST(IconStore, StorePathJoinsAFolderEndingInADoubleByteCharacter) {
  TempExeFolder folder;
  const std::string exeDir = folder.path() + "表";
  ASSERT_TRUE(CreateFolder(exeDir));
  ASSERT_TRUE(CreateFolder(exeDir + "\\data"));
  App state(AppOptions{folder.path(), 1024, 768});
  state.ExeDir = exeDir;  // as a caller without the trailing backslash sets it
  {
    TMainForm bar(state, state.Icons, [] {});
    bar.Create(nullptr);
    EXPECT_NO_THROW(bar.SaveIconStore());
  }
  EXPECT_TRUE(FileExists(exeDir + "\\data\\Iconbmp.dat"));
  EXPECT_EQ(state.settings.SettingsPath, exeDir + "\\data\\KBINI.dat");
}

}  // namespace
}  // namespace kb
