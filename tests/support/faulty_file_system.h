// A FileSystem decorator that makes the Nth change to any file (write, sync, truncate,
// remove) fail: once, from then on, or as a crash (the process "dies": nothing changes any more).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "jet/errors.h"
#include "jet/file.h"

namespace support {

class FaultyFileSystem final : public jet::FileSystem {
 public:
  enum class Mode {
    kOnce,        // the Nth change fails, later ones work
    kPersistent,  // the Nth change and every later one fail
    kCrash,       // the Nth change is cut off (a write keeps its first half) and no later one happens
  };

  explicit FaultyFileSystem(jet::FileSystem& inner) : inner_(inner) {}

  // Arms the fault at change `n` (1-based), counting from now on; n == 0 disarms it.
  void FailAt(std::uint64_t n, Mode mode) {
    failAt_ = n;
    mode_ = mode;
    changes_ = 0;
    triggered_ = false;
  }
  // Runs right after the change a crash cuts off: a test in a process of its own ends the
  // process there, as a power cut would.
  void OnCrash(std::function<void()> hook) { onCrash_ = std::move(hook); }
  std::uint64_t changes() const { return changes_; }
  bool triggered() const { return triggered_; }
  // Counts a change and says whether it goes ahead; `tear` runs first when a crash cuts it off.
  bool Proceed(const std::function<void()>& tear = {}) {
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
  static jet::Error Injected() { return jet::MakeError(jet::kErrDiskIo, "injected I/O fault"); }

  jet::Result<std::unique_ptr<jet::File>> Open(const std::string& path, jet::OpenMode mode) override;
  jet::Result<bool> Exists(const std::string& path) override { return inner_.Exists(path); }
  jet::Result<bool> HeldOpen(const std::string& path) override { return inner_.HeldOpen(path); }
  jet::Status Rename(const std::string& from, const std::string& to) override {
    return inner_.Rename(from, to);
  }
  jet::Status Remove(const std::string& path) override {
    return Proceed() ? inner_.Remove(path) : Injected();
  }

 private:
  jet::FileSystem& inner_;
  std::uint64_t failAt_ = 0, changes_ = 0;
  Mode mode_ = Mode::kOnce;
  bool triggered_ = false;
  std::function<void()> onCrash_;
};

class FaultyFile final : public jet::File {
 public:
  FaultyFile(FaultyFileSystem& fs, std::unique_ptr<jet::File> inner) : fs_(fs), inner_(std::move(inner)) {}
  jet::Result<std::size_t> Read(std::uint64_t offset, std::span<std::uint8_t> out) override {
    return inner_->Read(offset, out);
  }
  jet::Status Write(std::uint64_t offset, std::span<const std::uint8_t> data) override {
    if (!fs_.Proceed([&] { (void)inner_->Write(offset, data.first(data.size() / 2)); }))
      return FaultyFileSystem::Injected();
    return inner_->Write(offset, data);
  }
  jet::Result<std::uint64_t> Size() override { return inner_->Size(); }
  jet::Status Truncate(std::uint64_t size) override {
    return fs_.Proceed() ? inner_->Truncate(size) : FaultyFileSystem::Injected();
  }
  jet::Status Sync() override { return fs_.Proceed() ? inner_->Sync() : FaultyFileSystem::Injected(); }
  jet::Status TryLock(std::uint64_t at, std::uint64_t length, jet::LockKind kind) override {
    return inner_->TryLock(at, length, kind);
  }
  jet::Status Unlock(std::uint64_t at, std::uint64_t length) override { return inner_->Unlock(at, length); }

 private:
  FaultyFileSystem& fs_;
  std::unique_ptr<jet::File> inner_;
};

inline jet::Result<std::unique_ptr<jet::File>> FaultyFileSystem::Open(const std::string& path,
                                                                      jet::OpenMode mode) {
  auto inner = inner_.Open(path, mode);
  if (!inner.ok()) return inner.error();
  return std::unique_ptr<jet::File>(new FaultyFile(*this, std::move(inner).value()));
}

}  // namespace support
