#pragma once
// The cleaner's walk over a folder tree, written once: the depth-first order and
// the folders still due. Each back end supplies only a lister, which opens and
// lists folders its own way and knows what to leave out.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/file_tools.h"

namespace korvanta::store {

// One folder as its lister hands it over. The names of its files share one
// block, each ended by a NUL, and the block is kept from folder to folder: a
// folder of ten thousand files costs no allocation per file.
struct FolderListing {
  std::string names;
  std::vector<std::size_t> files;  // where each file's name starts in names
  std::vector<std::string> subfolders;

  void AddFile(std::string_view name) {
    files.push_back(names.size());
    names.append(name);
    names.push_back('\0');
  }
  void AddSubfolder(std::string_view name) { subfolders.emplace_back(name); }
};

// What a walk needs of the platform. The walk opens a folder only inside one it
// holds open, lists it right after opening it, and closes folders in the
// reverse order of their opening.
class FolderLister {
 public:
  // An open folder as the lister describes it; the walk only holds it.
  struct Folder {
    std::intptr_t handle = -1;
    std::uint64_t device = 0;  // what names the folder on its volume, where the lister needs it
    std::uint64_t inode = 0;
  };

  virtual ~FolderLister() = default;
  // The walk's root, at path (its folder text); nothing when it cannot be opened.
  virtual std::optional<Folder> OpenRoot(const std::string& path) = 0;
  // The subfolder name of parent, at path; nothing when it cannot be opened or
  // is not to be walked.
  virtual std::optional<Folder> OpenChild(const Folder& parent, const std::string& name,
                                          const std::string& path) = 0;
  // Adds the folder's files and subfolders to an empty listing, each in listing
  // order; whatever is not to be walked (links among them) is left out.
  virtual void List(const Folder& folder, FolderListing& listing) = 0;
  // Size, attributes and time of the file-th file of the folder's listing; its
  // name is followed by a NUL.
  virtual std::optional<FileEntry> Details(const Folder& folder, std::size_t file,
                                           std::string_view name) = 0;
  virtual void Close(const Folder& folder) = 0;
};

// A walk from root (a Windows path, with or without its closing backslash).
std::unique_ptr<FolderWalk> WalkFolders(std::unique_ptr<FolderLister> lister,
                                        std::string_view root);

}  // namespace korvanta::store
