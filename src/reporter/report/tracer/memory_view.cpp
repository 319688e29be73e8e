#include "reporter/report/tracer/memory_view.h"

#include <algorithm>
#include <cstring>

namespace Reporter::Tracer {
namespace {

using Platform::TMemoryAccess;
using Platform::TMemoryRegion;

bool SameClass(const TMemoryRegion& a, const TMemoryRegion& b) {
  return a.End == b.Begin && a.Access == b.Access && a.Executable == b.Executable &&
         a.Guard == b.Guard && a.Committed == b.Committed && a.AllocationBase == b.AllocationBase &&
         a.ImagePath == b.ImagePath;
}

// Adjacent regions of the same class become one, so that a read that spans two of them is
// checked against one range.
std::vector<TMemoryRegion> Merge(std::vector<TMemoryRegion> regions) {
  std::sort(regions.begin(), regions.end(),
            [](const TMemoryRegion& a, const TMemoryRegion& b) { return a.Begin < b.Begin; });
  std::vector<TMemoryRegion> merged;
  for (auto& region : regions) {
    if (region.End <= region.Begin) continue;
    if (!merged.empty() && SameClass(merged.back(), region)) {
      merged.back().End = region.End;
    } else {
      merged.push_back(std::move(region));
    }
  }
  return merged;
}

bool Fits(Address address, std::size_t size) {
  return size <= UINTPTR_MAX && address <= UINTPTR_MAX - size;
}

}  // namespace

TMemoryView::TMemoryView() : TMemoryView(Platform::QueryMemoryMap()) {}

TMemoryView::TMemoryView(std::vector<Platform::TMemoryRegion> regions)
    : regions_(Merge(std::move(regions))) {}

const Platform::TMemoryRegion* TMemoryView::RegionOf(Address address) const {
  auto it = std::upper_bound(regions_.begin(), regions_.end(), address,
                             [](Address a, const TMemoryRegion& r) { return a < r.Begin; });
  if (it == regions_.begin()) return nullptr;
  --it;
  return address < it->End ? &*it : nullptr;
}

bool TMemoryView::IsReadable(Address address, std::size_t size) const {
  if (size == 0) return true;
  if (!Fits(address, size)) return false;
  Address at = address;
  const Address end = address + size;
  while (at < end) {
    const auto* region = RegionOf(at);
    if (region == nullptr || region->Access == TMemoryAccess::NotReadable || region->Guard) {
      return false;
    }
    at = region->End;
  }
  return true;
}

bool TMemoryView::Read(Address address, void* buffer, std::size_t size) const {
  if (!IsReadable(address, size)) return false;
  const auto* region = RegionOf(address);
  if (region->Access == TMemoryAccess::ExecuteOnly) {
    return Platform::ReadExecuteOnlyMemory(static_cast<std::uintptr_t>(address), buffer, size);
  }
  return Platform::ReadMemory(static_cast<std::uintptr_t>(address), buffer, size);
}

const std::vector<std::uint8_t>* TMemoryView::Page(Address pageStart) {
  if (auto it = pages_.find(pageStart); it != pages_.end()) {
    return it->second.empty() ? nullptr : &it->second;
  }
  std::vector<std::uint8_t> bytes(kPageSize);
  if (!Read(pageStart, bytes.data(), bytes.size())) bytes.clear();
  auto& stored = pages_[pageStart] = std::move(bytes);
  return stored.empty() ? nullptr : &stored;
}

std::size_t TMemoryView::ReadCodeUpTo(Address address, std::span<std::uint8_t> buffer) {
  std::size_t done = 0;
  while (done < buffer.size()) {
    const Address at = address + done;
    if (at < address) break;  // wrapped around
    const Address pageStart = at & ~Address{kPageSize - 1};
    const auto* page = Page(pageStart);
    if (page == nullptr) break;
    const std::size_t offset = static_cast<std::size_t>(at - pageStart);
    const std::size_t count = std::min(buffer.size() - done, kPageSize - offset);
    std::memcpy(buffer.data() + done, page->data() + offset, count);
    done += count;
  }
  return done;
}

bool TMemoryView::ReadCode(Address address, void* buffer, std::size_t size) {
  return ReadCodeUpTo(address, {static_cast<std::uint8_t*>(buffer), size}) == size;
}

bool TMemoryView::ReadPointer(Address address, Address& value) const {
  std::uintptr_t raw = 0;
  if (!Read(address, &raw, sizeof raw)) return false;
  value = raw;
  return true;
}

}  // namespace Reporter::Tracer
