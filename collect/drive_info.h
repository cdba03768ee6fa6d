// The drive inventory: one record per drive of the wanted kinds, with its size as text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Bits of the drive type mask: which kinds of drive are kept.
enum DriveTypeMask : int {
  DRIVE_MASK_FIXED = 1,
  DRIVE_MASK_REMOTE = 2,
  DRIVE_MASK_REMOVABLE = 4,  // also starts the walk at A: instead of C:
  DRIVE_MASK_CDROM = 8,
};

// One drive: its kind, root path and sizes as ready-made text.
class DriveStats {
 public:
  DriveStats() = default;
  DriveStats(const DriveStats&) = default;
  DriveStats& operator=(const DriveStats&) = default;
  virtual ~DriveStats() = default;

  virtual void SetTypeName(const std::string& name) { m_strTypeName = name; }
  virtual void SetType(const int* type) { m_nType = *type; }
  virtual std::string GetTypeName() const { return m_strTypeName; }
  virtual void GetType(int* type) const { *type = m_nType; }
  virtual void SetRootPath(const std::string& root) { m_strRootPath = root; }
  virtual std::string GetRootPath() const { return m_strRootPath; }
  virtual void SetTotal(const std::string& total) { m_strTotal = total; }
  virtual std::string GetTotal() const { return m_strTotal; }
  virtual void SetFree(const std::string& free) { m_strFree = free; }
  virtual std::string GetFree() const { return m_strFree; }
  virtual void Assign(const DriveStats& other) { *this = other; }

 private:
  int m_nType = 0;
  std::string m_strTypeName = "Unknown";
  std::string m_strRootPath;
  std::string m_strTotal;
  std::string m_strFree;
};

// The drives of the wanted kinds, in letter order.
class DriveInfo {
 public:
  // Enumerates at once.
  explicit DriveInfo(const int& mask);
  virtual ~DriveInfo() = default;

  // Refills the list; leaves it as it was when the kernel module cannot be had.
  virtual void EnumerateDrives(const int& mask);
  virtual const std::vector<DriveStats>& GetDrives() const;
  virtual void AssignDrives(const DriveInfo& other);

 private:
  std::vector<DriveStats> m_drives;
};

// A byte count as text with `decimals` digits after the point: divided by 1024 while above
// 1000, with the unit that many divisions name (" bytes", " KB", " MB", " GB", " TB", then
// " PB" and " EB", which cover every 64-bit count).
void FormatByteSize(const std::int64_t& count, const int& decimals, std::string& text);
