#pragma once
// A disk in memory for the backup engine, with the faults a real one has: files that cannot be
// read, files held open, volumes without hard links, a full disk, an index that cannot be written.
// A hard link is a second name of the same file object, as on NTFS.

#include <algorithm>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "backup/backup_files.h"

namespace tidemoor::testing {

class FakeBackupDisk : public BackupFiles {
 public:
  // The causes a failure carries, as Windows words them.
  inline static const SystemError kDenied{5, "拒绝访问。"};
  inline static const SystemError kHeldOpen{32, "另一个程序正在使用此文件，进程无法访问。"};

  struct File {
    std::string bytes;
    uint64_t lastWrite = 0;
  };

  bool Exists(const std::string& path) override {
    const std::string p = Trim(path);
    return dirs.contains(p) || files.contains(p) || links.contains(p) || dirs.contains(Resolved(p));
  }
  std::optional<std::string> FolderIdentity(const std::string& path) override {
    const std::string dir = Resolved(Trim(path));
    if (!dirs.contains(dir)) return std::nullopt;
    return dir;
  }
  Outcome ListDirectory(const std::string& path, std::vector<DirectoryEntry>& entries) override {
    const std::string dir = Resolved(Trim(path));
    if (!dirs.contains(dir) || unreadable.contains(dir)) return kDenied;
    ++listings;
    for (const std::string& d : dirs) {
      if (IsChild(d, dir)) entries.push_back({Name(d), EntryKind::Directory});
    }
    for (const auto& [f, file] : files) {
      if (IsChild(f, dir)) {
        entries.push_back({Name(f), EntryKind::File, file->bytes.size(), file->lastWrite});
      }
    }
    for (const std::string& l : links) {
      if (IsChild(l, dir)) entries.push_back({Name(l), EntryKind::Link});
    }
    return {};
  }
  Outcome EnsureDirectory(const std::string& path) override {
    const std::string dir = Trim(path);
    for (size_t slash = dir.find('\\', 3); slash != std::string::npos;
         slash = dir.find('\\', slash + 1)) {
      dirs.insert(dir.substr(0, slash));
    }
    dirs.insert(dir);
    return {};
  }
  Outcome MakeDirectory(const std::string& path, const std::string&) override {
    const std::string dir = Trim(path);
    if (Exists(dir) || !dirs.contains(Parent(dir))) return kDenied;
    dirs.insert(dir);
    return {};
  }
  Outcome CopyOneFile(const std::string& from, const std::string& to) override {
    log.push_back("copy " + from + " -> " + to);
    const auto source = files.find(Resolved(from));
    if (source == files.end() || Unreadable(from) || Exists(to) || !dirs.contains(Parent(to))) {
      return kDenied;
    }
    files[to] = std::make_shared<File>(*source->second);
    return {};
  }
  bool LinkFile(const std::string& existing, const std::string& link) override {
    log.push_back("link " + existing + " -> " + link);
    const auto source = files.find(existing);
    if (noHardLinks || refusesLinks.contains(existing) || source == files.end() || Exists(link) ||
        !dirs.contains(Parent(link))) {
      return false;
    }
    files[link] = source->second;
    return true;
  }
  Outcome DeleteTree(const std::string& path) override {
    const std::string dir = Trim(path);
    log.push_back("delete " + dir);
    const std::set<const File*> held = HeldFiles();
    std::vector<std::string> stuck;
    std::erase_if(files, [&](const auto& f) {
      if (!IsAtOrBelow(f.first, dir)) return false;
      if (!heldOpen.contains(f.first) && !held.contains(f.second.get())) return true;
      stuck.push_back(f.first);
      return false;
    });
    std::erase_if(links, [&](const std::string& l) { return IsAtOrBelow(l, dir); });
    std::erase_if(dirs, [&](const std::string& d) {
      return IsAtOrBelow(d, dir) && std::none_of(stuck.begin(), stuck.end(),
                                                 [&](const auto& s) { return IsAtOrBelow(s, d); });
    });
    return stuck.empty() ? Outcome() : Outcome(kHeldOpen);
  }
  Outcome Rename(const std::string& from, const std::string& to) override {
    log.push_back("rename " + from + " -> " + to);
    if (files.contains(from) && !unrenamable.contains(from) && !Exists(to)) {
      files[to] = files[from];
      files.erase(from);
      return {};
    }
    if (!dirs.contains(from) || Exists(to) || unrenamable.contains(from)) return kDenied;
    for (const std::string& held : heldOpen) {
      if (IsAtOrBelow(held, from)) return kHeldOpen;
    }
    MoveBelow(dirs, from, to);
    MoveBelow(links, from, to);
    std::map<std::string, std::shared_ptr<File>> moved;
    for (auto it = files.begin(); it != files.end();) {
      if (IsAtOrBelow(it->first, from)) {
        moved[to + it->first.substr(from.size())] = it->second;
        it = files.erase(it);
      } else {
        ++it;
      }
    }
    files.merge(moved);
    return {};
  }
  std::optional<uint64_t> FreeBytes(const std::string&) override { return freeBytes; }
  Outcome WriteIndex(const std::string& file, const PointIndex& index) override {
    log.push_back("index " + file + " = " + index.time + " " +
                  std::string(PointKindText(index.kind)));
    if (indexUnwritable || !dirs.contains(Parent(file))) return kDenied;
    AddFile(file, index.time + (index.kind == PointKind::Manual
                                    ? ""
                                    : "\n" + std::string(PointKindText(index.kind))));
    return {};
  }
  PointIndex ReadIndex(const std::string& file) override {
    const auto it = files.find(file);
    if (it == files.end()) return {};
    const std::string& bytes = it->second->bytes;
    const size_t newline = bytes.find('\n');
    if (newline == std::string::npos) return {bytes, PointKind::Manual};
    return {bytes.substr(0, newline), PointKindFromText(bytes.substr(newline + 1))};
  }
  Outcome WriteTextFile(const std::string& file, const std::string& text) override {
    log.push_back("write " + file);
    if (!dirs.contains(Parent(file)) || unreadable.contains(file)) return kDenied;
    AddFile(file, text);
    return {};
  }
  std::optional<std::string> ReadTextFile(const std::string& file) override {
    if (!files.contains(file)) return std::nullopt;
    return Bytes(file);
  }
  void DeleteOneFile(const std::string& file) override {
    const auto it = files.find(file);
    if (it != files.end() && !heldOpen.contains(file) && !HeldFiles().contains(it->second.get())) {
      files.erase(it);
    }
  }
  LocalDateTime Now() override {
    if (clock.empty()) return LocalDateTime{2024, 1, 23, 13, 5, 9, 0};
    LocalDateTime now = clock.front();
    if (clock.size() > 1) clock.pop_front();
    return now;
  }
  int64_t MonotonicMilliseconds() override { return milliseconds += 5; }

  // A file with its parents; the last-write time tells versions apart as the server's writes do.
  void AddFile(const std::string& path, const std::string& bytes, uint64_t lastWrite = 1) {
    EnsureDirectory(Parent(path));
    files[path] = std::make_shared<File>(File{bytes, lastWrite});
  }
  std::string Bytes(const std::string& path) const {
    const auto it = files.find(path);
    return it == files.end() ? std::string() : it->second->bytes;
  }
  // A file that cannot be read cannot be read through any of its names.
  bool Unreadable(const std::string& path) const {
    return unreadable.contains(path) ||
           std::any_of(unreadable.begin(), unreadable.end(),
                       [&](const std::string& name) { return SameFile(name, path); });
  }
  // Relative path -> contents, for every file below the directory.
  std::map<std::string, std::string> FilesBelow(const std::string& dir) const {
    std::map<std::string, std::string> below;
    for (const auto& [path, file] : files) {
      if (path.starts_with(dir + "\\")) below[path.substr(dir.size())] = file->bytes;
    }
    return below;
  }
  // How many names the file has, as a hard link count.
  long Names(const std::string& path) const {
    const auto it = files.find(path);
    return it == files.end() ? 0 : it->second.use_count();
  }
  bool SameFile(const std::string& a, const std::string& b) const {
    return files.contains(a) && files.contains(b) && files.at(a) == files.at(b);
  }

  std::set<std::string> dirs;
  std::map<std::string, std::shared_ptr<File>> files;
  std::set<std::string> links;                     // junctions and symbolic links
  std::map<std::string, std::string> linkTargets;  // where those that lead somewhere lead
  std::set<std::string> unreadable;  // files that cannot be copied, directories that cannot be read
  std::set<std::string> heldOpen;    // names that cannot be deleted or moved
  // Files another program holds open without delete sharing: none of their names can be deleted.
  std::set<std::string> heldWithoutDeleteSharing;
  std::set<std::string> refusesLinks;  // files that cannot be given a second name
  std::set<std::string> unrenamable;
  bool noHardLinks = false;
  bool indexUnwritable = false;
  std::optional<uint64_t> freeBytes = uint64_t{100} << 30;
  std::deque<LocalDateTime> clock;  // the last one stays
  int64_t milliseconds = 0;
  int listings = 0;
  std::vector<std::string> log;

 private:
  std::set<const File*> HeldFiles() const {
    std::set<const File*> held;
    for (const std::string& name : heldWithoutDeleteSharing) {
      if (files.contains(name)) held.insert(files.at(name).get());
    }
    return held;
  }
  // The path with every link on its way replaced by where it leads.
  std::string Resolved(std::string path) const {
    for (int hops = 0; hops < 16; ++hops) {
      const auto link = std::find_if(linkTargets.begin(), linkTargets.end(),
                                     [&](const auto& l) { return IsAtOrBelow(path, l.first); });
      if (link == linkTargets.end()) break;
      path = link->second + path.substr(link->first.size());
    }
    return path;
  }
  static std::string Trim(const std::string& path) {
    return path.ends_with('\\') ? path.substr(0, path.size() - 1) : path;
  }
  static std::string Parent(const std::string& path) {
    const size_t slash = Trim(path).find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
  }
  static std::string Name(const std::string& path) {
    return path.substr(path.find_last_of('\\') + 1);
  }
  static bool IsChild(const std::string& path, const std::string& dir) {
    return path.size() > dir.size() + 1 && path.starts_with(dir + "\\") &&
           path.find('\\', dir.size() + 1) == std::string::npos;
  }
  static bool IsAtOrBelow(const std::string& path, const std::string& dir) {
    return path == dir || path.starts_with(dir + "\\");
  }
  static void MoveBelow(std::set<std::string>& set, const std::string& from,
                        const std::string& to) {
    std::set<std::string> moved;
    std::erase_if(set, [&](const std::string& p) {
      if (!IsAtOrBelow(p, from)) return false;
      moved.insert(to + p.substr(from.size()));
      return true;
    });
    set.merge(moved);
  }
};

}  // namespace tidemoor::testing
