#include "store/folder_walk.h"

#include <utility>

#include "store/paths.h"

namespace korvanta::store {
namespace {

class ListerWalk final : public FolderWalk {
 public:
  ListerWalk(std::unique_ptr<FolderLister> lister, std::string_view root)
      : lister_(std::move(lister)) {
    std::string path = FolderText(root);
    std::optional<FolderLister::Folder> folder = lister_->OpenRoot(path);
    if (!folder) return;
    opened_ = true;
    Enter(*folder, std::move(path));
  }
  ~ListerWalk() override {
    for (; !stack_.empty(); stack_.pop_back()) lister_->Close(stack_.back().folder);
  }

  // The files handed out belong to the folder on top of the stack: Descend
  // drops them before it pops or pushes.
  bool Next(std::string_view& folder, std::string_view& name) override {
    for (;;) {
      if (next_file_ < listing_.files.size()) {
        current_ = next_file_++;
        folder = stack_.back().path;
        name = Name(current_);
        return true;
      }
      if (!Descend()) return false;
    }
  }

  std::optional<FileEntry> Details() override {
    if (current_ >= listing_.files.size()) return std::nullopt;
    return lister_->Details(stack_.back().folder, current_, Name(current_));
  }

  bool opened() const override { return opened_; }

 private:
  struct Frame {
    FolderLister::Folder folder;
    std::string path;
    std::vector<std::string> subfolders;
    std::size_t next = 0;
  };

  std::string_view Name(std::size_t file) const {
    std::size_t start = listing_.files[file];
    std::size_t end =
        file + 1 < listing_.files.size() ? listing_.files[file + 1] : listing_.names.size();
    return std::string_view(listing_.names).substr(start, end - start - 1);
  }

  // Lists the folder: its files become the ones to hand out, its subfolders
  // wait on the stack.
  void Enter(const FolderLister::Folder& folder, std::string path) {
    listing_.names.clear();
    listing_.files.clear();
    listing_.subfolders.clear();
    lister_->List(folder, listing_);
    stack_.push_back({folder, std::move(path), std::move(listing_.subfolders), 0});
    next_file_ = 0;
    current_ = kNone;
  }

  // Opens the next subfolder still due, depth first; false when none is left.
  bool Descend() {
    listing_.files.clear();
    next_file_ = 0;
    while (!stack_.empty()) {
      Frame& top = stack_.back();
      if (top.next >= top.subfolders.size()) {
        lister_->Close(top.folder);
        stack_.pop_back();
        continue;
      }
      const std::string& name = top.subfolders[top.next++];
      std::string path = JoinPath(top.path, name);
      if (std::optional<FolderLister::Folder> child = lister_->OpenChild(top.folder, name, path)) {
        Enter(*child, std::move(path));
        return true;
      }
    }
    return false;
  }

  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  std::unique_ptr<FolderLister> lister_;
  std::vector<Frame> stack_;
  FolderListing listing_;  // of the folder on top of the stack, while its files last
  std::size_t next_file_ = 0;
  std::size_t current_ = kNone;
  bool opened_ = false;
};

}  // namespace

std::unique_ptr<FolderWalk> WalkFolders(std::unique_ptr<FolderLister> lister,
                                        std::string_view root) {
  return std::make_unique<ListerWalk>(std::move(lister), root);
}

}  // namespace korvanta::store
