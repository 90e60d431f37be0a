// The icon store: one bitmap holding the 32 × 32 icon of every group button
// (column 0) and program slot (column s) of every group (row g − 1).  It is
// kept device-independent in memory (32 bits per pixel, top-down) so a
// cell's pixels are the same whatever the display, and written to
// "data\Iconbmp.dat" as a bitmap file of the same layout.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/file_io.h"
#include "model/bmp_file.h"

namespace kb {

class IconStore {
 public:
  static constexpr int kCell = 32;

  IconStore();
  ~IconStore();
  IconStore(const IconStore&) = delete;
  IconStore& operator=(const IconStore&) = delete;

  // A store of columns × at least `rows` cells.  When `path` holds a
  // readable bitmap file (any depth Windows reads) its left part is kept,
  // with every row it holds (up to kMaxRows): rows beyond `rows` belong to
  // groups a larger screen shows, and their icons must survive a start on a
  // smaller one.  Cells the file does not cover are plain button face.  A
  // missing, garbage, truncated or absurd-sized file gives an all-face store.
  // Returns whether the file was used.
  bool Load(const std::string& path, int columns, int rows);

  // The same for the launcher's start: the size is known at once, the
  // pixels follow.  A file that needs converting (another depth or row order
  // than the store's own, as at a first start) is converted by a thread of
  // its own while the caller goes on (the launcher makes its bar's buttons
  // meanwhile).  A file of the store's own layout is read at Settle (or at
  // the first other use); until then CopyCellToGlyph takes cells straight
  // from the file, so the bar's group icons need no read of the megabytes
  // of program icons behind them.
  void LoadInBackground(const std::string& path, int columns, int rows);
  // Finishes what LoadInBackground left: the thread's conversion, or the
  // read of the pixels.  Every other member does it first.
  void Settle() const;
  // The most rows a store keeps: one per group.
  static constexpr int kMaxRows = 40;

  // Whether the last Load found a file it could not read (it is kept aside
  // at the next Save).
  bool FileUnreadable() const;

  // Changes the size in cells, keeping the top-left part; new cells are
  // plain button face.
  void Resize(int columns, int rows);

  // Writes the store as a bitmap file, atomically (a temporary file renamed
  // into place).  False when the system refuses.  A store without cells
  // writes nothing.  When Load found `path` unreadable, that file is first
  // renamed to path + kUnreadableSuffix (replacing an older one), so whatever
  // it held can still be recovered; false, and nothing written, when it
  // cannot be kept.
  bool Save(const std::string& path);

  static constexpr char kUnreadableSuffix[] = ".bad";

  // Frees the bitmap; the store then has no cells.
  void Free();

  int Columns() const { return width_ / kCell; }
  int Rows() const { return height_ / kCell; }
  int PixelWidth() const { return width_; }
  int PixelHeight() const { return height_; }
  bool HasCell(int column, int row) const;

  // Cell helpers; a cell outside the store is left alone (false).
  // Copies cell (column, row) into a 32 × 32 bitmap (SRCCOPY).
  bool CopyCellTo(int column, int row, HBITMAP target) const;
  // The same for glyphs of the store's own format (the 32 × 32 top-down
  // 32-bit pixels win::CreateBlankGlyph hands out), copied as memory with no
  // device contexts, as the bar's group buttons take their icons.
  bool CopyCellToGlyph(int column, int row, uint32_t* glyph) const;
  // Copies a 32 × 32 bitmap into cell (column, row).
  bool CopyToCell(HBITMAP source, int column, int row);
  bool FillCellWithFace(int column, int row);
  bool CopyCell(int fromColumn, int fromRow, int toColumn, int toRow);
  // Copies cells (1, row) … (count, row) into glyphs[0 … count − 1], as a
  // group switch does for every program button.  Returns how many of them
  // the store has columns for; glyphs beyond that (and null ones) are left
  // alone.
  int CopyRowToGlyphs(int row, uint32_t* const* glyphs, int count) const;

  // One pixel as a COLORREF (0x00BBGGRR); for checks.
  COLORREF PixelAt(int x, int y) const;

 private:
  // The opened file whose pixels are still to be read into the store.
  struct Source {
    FileReader file;
    std::optional<BmpInfo> head;
    std::string path;
  };
  std::optional<Source> Open(const std::string& path, int columns, int rows);
  bool Fill(const Source& source);
  bool DeferStoreLayout(const Source& source);
  void Abandon();
  void CopyCellPixels(int column, int row, uint32_t* glyph) const;
  void Allocate(int width, int height);
  void FillFace(int x, int y, int width, int height);
  bool ReadStoreLayout(const FileReader& file, const BmpInfo& info);
  bool DrawWithSystemReader(const std::string& path);

  HBITMAP bitmap_ = nullptr;
  uint32_t* bits_ = nullptr;  // top-down rows of 0x00RRGGBB
  int width_ = 0;
  int height_ = 0;
  std::string unreadablePath_;  // the file the last Load could not read
  mutable std::thread loader_;  // a LoadInBackground still reading
  // A file of the store's own layout whose pixels are still to be read, and
  // its head; the store's rows beyond the file are already face.
  class FileView;
  mutable std::unique_ptr<FileView> pending_;
  BmpInfo pendingInfo_;
};

}  // namespace kb
