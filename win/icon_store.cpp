#include "win/icon_store.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "win/shell.h"
#include "win/text.h"
#include "win/window.h"

namespace kb {
namespace {

uint32_t ToPixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
COLORREF ToColorRef(uint32_t p) { return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }

// A memory DC with one bitmap selected, released on scope exit.
class BitmapDc {
 public:
  explicit BitmapDc(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr)) {
    if (dc_) old_ = SelectObject(dc_, bitmap);
  }
  ~BitmapDc() {
    if (!dc_) return;
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  BitmapDc(const BitmapDc&) = delete;
  BitmapDc& operator=(const BitmapDc&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ && old_ && old_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

}  // namespace

// A read-only view of a whole file; the file may be read (not written or
// deleted) by others while it is open.
class IconStore::FileView {
 public:
  static std::unique_ptr<FileView> Open(const std::string& path) {
    HANDLE file = CreateFileW(win::Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size{};
    HANDLE mapping = GetFileSizeEx(file, &size) && size.QuadPart > 0
                         ? CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr)
                         : nullptr;
    CloseHandle(file);  // the mapping keeps it open
    if (!mapping) return nullptr;
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    CloseHandle(mapping);  // the view keeps it
    if (!view) return nullptr;
    return std::unique_ptr<FileView>(
        new FileView(static_cast<const uint8_t*>(view), static_cast<uint64_t>(size.QuadPart)));
  }
  ~FileView() { UnmapViewOfFile(data_); }
  FileView(const FileView&) = delete;
  FileView& operator=(const FileView&) = delete;
  const uint8_t* data() const { return data_; }
  uint64_t size() const { return size_; }

 private:
  FileView(const uint8_t* data, uint64_t size) : data_(data), size_(size) {}
  const uint8_t* data_;
  uint64_t size_;
};

IconStore::IconStore() = default;
IconStore::~IconStore() { Free(); }

// Ends a load under way without its pixels (the store is about to go).
void IconStore::Abandon() {
  if (loader_.joinable()) loader_.join();
  pending_.reset();
}

void IconStore::Free() {
  Abandon();
  if (bitmap_) DeleteObject(bitmap_);
  bitmap_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = 0;
}

void IconStore::Allocate(int width, int height) {
  Free();
  if (width <= 0 || height <= 0) return;
  bitmap_ = win::CreateTopDownDib(width, height, &bits_);  // row y at bits_ + y × width
  if (!bitmap_) return;
  width_ = width;
  height_ = height;
}

void IconStore::FillFace(int x, int y, int width, int height) {
  const uint32_t face = ToPixel(GetSysColor(COLOR_BTNFACE));
  for (int row = y; row < y + height; ++row) {
    std::fill_n(bits_ + static_cast<size_t>(row) * width_ + x, width, face);
  }
}

bool IconStore::Load(const std::string& path, int columns, int rows) {
  std::optional<Source> source = Open(path, columns, rows);
  return source && Fill(*source);
}

void IconStore::LoadInBackground(const std::string& path, int columns, int rows) {
  std::optional<Source> source = Open(path, columns, rows);
  if (!source) return;
  // A file of the store's own layout is one straight copy into the store,
  // left for Settle (a thread beside the windows being made took longer
  // under Wine); read now if the file cannot be viewed.  Converting one of
  // another depth or order takes several times as long, and pays for the
  // thread.
  if (source->head && IsStoreLayout(*source->head, width_)) {
    if (!DeferStoreLayout(*source)) Fill(*source);
    return;
  }
  loader_ = std::thread([this, pending = std::move(*source)] {
    win::GuardCallback([&] { Fill(pending); });
  });
}

// Keeps a file of the store's own layout open for reading later; false
// (nothing kept) when it cannot be viewed or is cut short.
bool IconStore::DeferStoreLayout(const Source& source) {
  const BmpInfo& info = *source.head;
  const int rows = std::min(info.height, height_);
  const uint64_t end = info.pixelOffset + static_cast<uint64_t>(rows) * width_ * 4;
  std::unique_ptr<FileView> view = FileView::Open(source.path);
  if (!view || view->size() < end) return false;
  if (rows < height_) FillFace(0, rows, width_, height_ - rows);
  pending_ = std::move(view);
  pendingInfo_ = info;
  return true;
}

void IconStore::Settle() const {
  if (loader_.joinable()) loader_.join();
  if (!pending_) return;
  const int rows = std::min(pendingInfo_.height, height_);
  std::memcpy(bits_, pending_->data() + pendingInfo_.pixelOffset,
              static_cast<size_t>(rows) * static_cast<size_t>(width_) * 4);
  pending_.reset();
}

bool IconStore::FileUnreadable() const {
  Settle();
  return !unreadablePath_.empty();
}

// Opens the file and makes the store: the head decides its height and how
// the pixels are read.  nullopt when there is nothing to read (the store is
// then all face).
std::optional<IconStore::Source> IconStore::Open(const std::string& path, int columns, int rows) {
  Abandon();
  unreadablePath_.clear();
  std::optional<FileReader> file = FileReader::Open(path);
  if (!file) {
    // There, but not to be opened (another program holds it): unreadable too.
    if (FileExists(path)) unreadablePath_ = path;
    Allocate(columns * kCell, rows * kCell);
    if (bitmap_) {
      GdiFlush();
      FillFace(0, 0, width_, height_);
    }
    return std::nullopt;
  }
  std::string head(static_cast<size_t>(std::min<uint64_t>(file->Size(), kBmpHeadSize)), '\0');
  std::optional<BmpInfo> headInfo;
  if (file->ReadAt(0, head.data(), head.size())) headInfo = ParseBmpHead(head, file->Size());
  // Every row of the file stays, a partial last one too, up to one per group.
  if (headInfo) rows = std::max(rows, std::min((headInfo->height + kCell - 1) / kCell, kMaxRows));
  Allocate(columns * kCell, rows * kCell);
  if (!bitmap_) return std::nullopt;
  GdiFlush();
  return Source{std::move(*file), headInfo, path};
}

// Reads the file's pixels into the store; false (the store all face, the
// file marked unreadable) when it is no bitmap the store can read.
bool IconStore::Fill(const Source& source) {
  const std::optional<BmpInfo>& head = source.head;
  if (head && IsStoreLayout(*head, width_) && ReadStoreLayout(source.file, *head)) return true;
  const std::optional<std::string> bytes = head ? source.file.ReadAll() : std::nullopt;
  const std::optional<BmpInfo> info = bytes ? ParseBmp(*bytes) : std::nullopt;
  if (info && IsPlainRgb(*info)) {
    // Only what the file does not cover gets the face colour: filling
    // megabytes that the file's rows then overwrite cost as much as the copy.
    const int coveredWidth = std::min(info->width, width_);
    const int coveredHeight = std::min(info->height, height_);
    if (coveredWidth < width_) FillFace(coveredWidth, 0, width_ - coveredWidth, coveredHeight);
    if (coveredHeight < height_) FillFace(0, coveredHeight, width_, height_ - coveredHeight);
    CopyRgbPixels(*bytes, *info, bits_, width_, height_);
    return true;
  }
  FillFace(0, 0, width_, height_);
  // Checked above, so a broken file never becomes a half-made bitmap.
  if (info && DrawWithSystemReader(source.path)) return true;
  unreadablePath_ = source.path;
  return false;
}

// A file as Save writes it, as wide as the store, is read straight into the
// DIB section's rows: no copy of megabytes in between.  False (nothing
// promised about the pixels) when the read fails.
bool IconStore::ReadStoreLayout(const FileReader& file, const BmpInfo& info) {
  const int rows = std::min(info.height, height_);
  if (rows < height_) FillFace(0, rows, width_, height_ - rows);
  return file.ReadAt(info.pixelOffset, bits_,
                     static_cast<size_t>(rows) * static_cast<size_t>(width_) * 4);
}

// Depths the store does not read itself (palettes, 16 bits, run lengths):
// Windows' own reader converts them.
bool IconStore::DrawWithSystemReader(const std::string& path) {
  HANDLE image = LoadImageW(nullptr, win::Widen(path).c_str(), IMAGE_BITMAP, 0, 0,
                            LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  if (!image) return false;
  HBITMAP loaded = static_cast<HBITMAP>(image);
  BITMAP shape{};
  GetObjectW(loaded, sizeof shape, &shape);
  bool drawn = false;
  {
    BitmapDc from(loaded);
    BitmapDc to(bitmap_);
    if (from && to) {
      drawn = BitBlt(to.get(), 0, 0, std::min<int>(shape.bmWidth, width_),
                     std::min<int>(shape.bmHeight, height_), from.get(), 0, 0, SRCCOPY) != FALSE;
    }
  }
  DeleteObject(loaded);
  GdiFlush();
  return drawn;
}

void IconStore::Resize(int columns, int rows) {
  Settle();
  const int width = columns * kCell, height = rows * kCell;
  if (width == width_ && height == height_) return;
  std::vector<uint32_t> old;
  const int oldWidth = width_, oldHeight = height_;
  if (bits_) {
    GdiFlush();
    old.assign(bits_, bits_ + static_cast<size_t>(width_) * height_);
  }
  Allocate(width, height);
  if (!bitmap_) return;
  FillFace(0, 0, width_, height_);
  const int keepWidth = std::min(oldWidth, width_), keepHeight = std::min(oldHeight, height_);
  for (int row = 0; row < keepHeight; ++row) {
    std::copy_n(old.data() + static_cast<size_t>(row) * oldWidth, keepWidth,
                bits_ + static_cast<size_t>(row) * width_);
  }
}

bool IconStore::Save(const std::string& path) {
  Settle();
  if (!bitmap_) return true;
  // The file the store could not read is replaced by the store: it is kept
  // aside first, once, so what it held is not lost with it.
  if (unreadablePath_ == path && FileExists(path) &&
      !MoveFileReplacing(path, path + kUnreadableSuffix)) {
    return false;
  }
  GdiFlush();
  // Written straight from the DIB section as a 32-bit top-down file: a
  // converted 24-bit copy is a quarter smaller but took three times as long
  // (a fresh copy of megabytes, then the conversion) on every close.
  const std::string header = Bmp32TopDownHeader(width_, height_);
  const std::string_view pixels(reinterpret_cast<const char*>(bits_),
                                static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4);
  if (!WriteFileAtomic(path, {std::string_view(header), pixels})) return false;
  if (unreadablePath_ == path) unreadablePath_.clear();
  return true;
}

bool IconStore::HasCell(int column, int row) const {
  return bitmap_ && column >= 0 && row >= 0 && column < Columns() && row < Rows();
}

// A cell's 32 rows into a glyph, each from the store or, while its pixels
// are still to be read, from the file (rows beyond the file are face in the
// store already).
void IconStore::CopyCellPixels(int column, int row, uint32_t* glyph) const {
  const int fileRows = pending_ ? std::min(pendingInfo_.height, height_) : 0;
  for (int y = 0; y < kCell; ++y) {
    const size_t line = static_cast<size_t>(row) * kCell + y;
    const size_t offset = (line * width_ + static_cast<size_t>(column) * kCell) * 4;
    const uint8_t* from = line < static_cast<size_t>(fileRows)
                              ? pending_->data() + pendingInfo_.pixelOffset + offset
                              : reinterpret_cast<const uint8_t*>(bits_) + offset;
    std::memcpy(glyph + y * kCell, from, kCell * 4);
  }
}

bool IconStore::CopyCellToGlyph(int column, int row, uint32_t* glyph) const {
  if (!pending_) Settle();
  if (!HasCell(column, row) || !glyph) return false;
  GdiFlush();
  CopyCellPixels(column, row, glyph);
  return true;
}

int IconStore::CopyRowToGlyphs(int row, uint32_t* const* glyphs, int count) const {
  Settle();
  if (row < 0 || row >= Rows()) return 0;
  const int available = std::min(count, Columns() - 1);
  if (available <= 0) return 0;
  GdiFlush();
  for (int s = 1; s <= available; ++s) {
    if (glyphs[s - 1]) CopyCellPixels(s, row, glyphs[s - 1]);
  }
  return available;
}

bool IconStore::CopyCellTo(int column, int row, HBITMAP target) const {
  Settle();
  if (!HasCell(column, row) || !target) return false;
  BitmapDc from(bitmap_);
  BitmapDc to(target);
  if (!from || !to) return false;
  return BitBlt(to.get(), 0, 0, kCell, kCell, from.get(), column * kCell, row * kCell, SRCCOPY) !=
         FALSE;
}

bool IconStore::CopyToCell(HBITMAP source, int column, int row) {
  Settle();
  if (!HasCell(column, row) || !source) return false;
  bool copied = false;
  {
    BitmapDc from(source);
    BitmapDc to(bitmap_);
    if (from && to) {
      copied = BitBlt(to.get(), column * kCell, row * kCell, kCell, kCell, from.get(), 0, 0,
                      SRCCOPY) != FALSE;
    }
  }
  GdiFlush();
  return copied;
}

bool IconStore::FillCellWithFace(int column, int row) {
  Settle();
  if (!HasCell(column, row)) return false;
  GdiFlush();
  FillFace(column * kCell, row * kCell, kCell, kCell);
  return true;
}

bool IconStore::CopyCell(int fromColumn, int fromRow, int toColumn, int toRow) {
  Settle();
  if (!HasCell(fromColumn, fromRow) || !HasCell(toColumn, toRow)) return false;
  GdiFlush();
  for (int y = 0; y < kCell; ++y) {
    const uint32_t* from = bits_ + static_cast<size_t>(fromRow * kCell + y) * width_ + fromColumn * kCell;
    uint32_t* to = bits_ + static_cast<size_t>(toRow * kCell + y) * width_ + toColumn * kCell;
    std::memmove(to, from, kCell * sizeof(uint32_t));
  }
  return true;
}

COLORREF IconStore::PixelAt(int x, int y) const {
  Settle();
  if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  GdiFlush();
  return ToColorRef(bits_[static_cast<size_t>(y) * width_ + x]);
}

}  // namespace kb
