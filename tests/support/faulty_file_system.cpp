#include "support/faulty_file_system.h"

#include "jet/errors.h"

namespace support {
namespace {

jet::Error Injected() { return jet::MakeError(jet::kErrDiskIo, "injected I/O fault"); }

class FaultyFile final : public jet::File {
 public:
  FaultyFile(FaultyFileSystem& fs, std::unique_ptr<jet::File> inner) : fs_(fs), inner_(std::move(inner)) {}

  jet::Result<std::size_t> Read(std::uint64_t offset, std::span<std::uint8_t> out) override {
    return inner_->Read(offset, out);
  }
  jet::Status Write(std::uint64_t offset, std::span<const std::uint8_t> data) override {
    switch (fs_.NextChange()) {
      case FaultyFileSystem::Fate::kProceed: return inner_->Write(offset, data);
      case FaultyFileSystem::Fate::kTear:
        (void)inner_->Write(offset, data.first(data.size() / 2));
        fs_.Crashed();
        break;
      case FaultyFileSystem::Fate::kFail: break;
    }
    return Injected();
  }
  jet::Result<std::uint64_t> Size() override { return inner_->Size(); }
  jet::Status Truncate(std::uint64_t size) override {
    if (!fs_.Proceed()) return Injected();
    return inner_->Truncate(size);
  }
  jet::Status Sync() override {
    if (!fs_.Proceed()) return Injected();
    return inner_->Sync();
  }
  jet::Status TryLock(std::uint64_t offset, std::uint64_t length, jet::LockKind kind) override {
    return inner_->TryLock(offset, length, kind);
  }
  jet::Status Unlock(std::uint64_t offset, std::uint64_t length) override { return inner_->Unlock(offset, length); }

 private:
  FaultyFileSystem& fs_;
  std::unique_ptr<jet::File> inner_;
};

}  // namespace

FaultyFileSystem::Fate FaultyFileSystem::NextChange() {
  ++changes_;
  if (failAt_ == 0) return Fate::kProceed;
  if (triggered_ && mode_ == Mode::kOnce) return Fate::kProceed;
  if (triggered_) return Fate::kFail;
  if (changes_ < failAt_) return Fate::kProceed;
  triggered_ = true;
  return mode_ == Mode::kCrash ? Fate::kTear : Fate::kFail;
}

jet::Result<std::unique_ptr<jet::File>> FaultyFileSystem::Open(const std::string& path, jet::OpenMode mode) {
  auto inner = inner_.Open(path, mode);
  if (!inner.ok()) return inner.error();
  return std::unique_ptr<jet::File>(new FaultyFile(*this, std::move(inner).value()));
}

bool FaultyFileSystem::Proceed() {
  const Fate fate = NextChange();
  if (fate == Fate::kTear) Crashed();
  return fate == Fate::kProceed;
}

jet::Status FaultyFileSystem::Remove(const std::string& path) {
  if (!Proceed()) return Injected();
  return inner_.Remove(path);
}

}  // namespace support
