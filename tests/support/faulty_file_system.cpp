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
    if (!fs_.Proceed([&] { (void)inner_->Write(offset, data.first(data.size() / 2)); })) return Injected();
    return inner_->Write(offset, data);
  }
  jet::Result<std::uint64_t> Size() override { return inner_->Size(); }
  jet::Status Truncate(std::uint64_t size) override {
    return fs_.Proceed() ? inner_->Truncate(size) : Injected();
  }
  jet::Status Sync() override { return fs_.Proceed() ? inner_->Sync() : Injected(); }
  jet::Status TryLock(std::uint64_t at, std::uint64_t length, jet::LockKind kind) override {
    return inner_->TryLock(at, length, kind);
  }
  jet::Status Unlock(std::uint64_t at, std::uint64_t length) override { return inner_->Unlock(at, length); }

 private:
  FaultyFileSystem& fs_;
  std::unique_ptr<jet::File> inner_;
};

}  // namespace

bool FaultyFileSystem::Proceed(const std::function<void()>& tear) {
  ++changes_;
  if (failAt_ == 0 || (triggered_ && mode_ == Mode::kOnce)) return true;
  if (triggered_) return false;
  if (changes_ < failAt_) return true;
  triggered_ = true;
  if (mode_ == Mode::kCrash) {
    if (tear) tear();
    if (onCrash_) onCrash_();
  }
  return false;
}

jet::Result<std::unique_ptr<jet::File>> FaultyFileSystem::Open(const std::string& path, jet::OpenMode mode) {
  auto inner = inner_.Open(path, mode);
  if (!inner.ok()) return inner.error();
  return std::unique_ptr<jet::File>(new FaultyFile(*this, std::move(inner).value()));
}

jet::Status FaultyFileSystem::Remove(const std::string& path) {
  return Proceed() ? inner_.Remove(path) : Injected();
}

}  // namespace support
