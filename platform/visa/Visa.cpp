// Handles and the VISA calls: resource managers own their sessions and find
// lists; handles come from a counter and are never handed out twice, so a
// stale handle is always recognised.
#include "platform/visa/Visa.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/visa/Registry.h"
#include "platform/visa/ResourceExpr.h"
#include "platform/visa/Session.h"

namespace visa {
namespace {

enum class Kind { ResourceManager, Session, FindList };

struct Entry {
  Kind kind = Kind::ResourceManager;
  ViObject owner = 0;  // the resource manager of a session or find list
  std::shared_ptr<Session> session;
  std::string lockKey;  // descriptor held by a session
  std::vector<std::string> found;  // find list: matching descriptors
};

std::string LowerCase(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

class Objects {
 public:
  ViObject Add(Entry entry) {
    std::lock_guard lock(mutex_);
    if (entry.owner != 0 && !IsKindLocked(entry.owner, Kind::ResourceManager)) return 0;
    ViObject handle = next_++;
    if (next_ == 0) next_ = kFirstHandle;  // wrap far in the future; 0 stays invalid
    entries_.emplace(handle, std::move(entry));
    return handle;
  }

  bool IsKind(ViObject handle, Kind kind) {
    std::lock_guard lock(mutex_);
    return IsKindLocked(handle, kind);
  }

  std::shared_ptr<Session> SessionOf(ViObject handle) {
    std::lock_guard lock(mutex_);
    auto it = entries_.find(handle);
    return (it != entries_.end() && it->second.kind == Kind::Session) ? it->second.session : nullptr;
  }

  // Removes the object and, for a resource manager, everything it owns.
  bool Remove(ViObject handle, std::vector<Entry>& removed) {
    std::lock_guard lock(mutex_);
    auto it = entries_.find(handle);
    if (it == entries_.end()) return false;
    if (it->second.kind == Kind::ResourceManager) {
      for (auto child = entries_.begin(); child != entries_.end();) {
        if (child->second.owner == handle) {
          removed.push_back(std::move(child->second));
          child = entries_.erase(child);
        } else {
          ++child;
        }
      }
      it = entries_.find(handle);
    }
    removed.push_back(std::move(it->second));
    entries_.erase(it);
    return true;
  }

  // Exclusive claim of a resource within this process.
  bool Claim(const std::string& key) {
    std::lock_guard lock(mutex_);
    return held_.insert(key).second;
  }
  void Release(const std::string& key) {
    std::lock_guard lock(mutex_);
    held_.erase(key);
  }

 private:
  bool IsKindLocked(ViObject handle, Kind kind) const {
    auto it = entries_.find(handle);
    return it != entries_.end() && it->second.kind == kind;
  }

  static constexpr ViObject kFirstHandle = 0x10001;
  std::mutex mutex_;
  ViObject next_ = kFirstHandle;
  std::unordered_map<ViObject, Entry> entries_;
  std::set<std::string> held_;
};

Objects& TheObjects() {
  static Objects objects;
  return objects;
}

void Dispose(Entry& entry) {
  if (!entry.session) return;
  entry.session->Close();
  TheObjects().Release(entry.lockKey);
}

std::shared_ptr<Instrument> FindByDescriptor(const std::string& descriptor) {
  const std::string wanted = LowerCase(descriptor);
  for (auto& instrument : ListInstruments())
    if (LowerCase(instrument->Descriptor()) == wanted) return instrument;
  return nullptr;
}

// Opens a claimed instrument and registers the session under `rm`.
ViStatus OpenClaimed(ViSession rm, Instrument& instrument, const std::string& key, ViPSession vi) {
  std::unique_ptr<DeviceLink> link;
  const ViStatus status = instrument.Open(link);
  if (status < VI_SUCCESS || !link) return status < VI_SUCCESS ? status : VI_ERROR_SYSTEM_ERROR;
  Entry entry;
  entry.kind = Kind::Session;
  entry.owner = rm;
  entry.lockKey = key;
  entry.session = std::make_shared<Session>(instrument.ManufacturerId(), instrument.ModelCode(), std::move(link));
  auto session = entry.session;
  const ViObject handle = TheObjects().Add(std::move(entry));
  if (handle == 0) {  // the resource manager was closed meanwhile
    session->Close();
    return VI_ERROR_INV_OBJECT;
  }
  *vi = handle;
  return status;
}

}  // namespace
}  // namespace visa

using namespace visa;

ViStatus viOpenDefaultRM(ViPSession vi) {
  if (vi == nullptr) return VI_ERROR_SYSTEM_ERROR;
  *vi = TheObjects().Add(Entry{});
  return VI_SUCCESS;
}

ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt, ViChar desc[]) {
  if (vi) *vi = VI_NULL;
  if (retCnt) *retCnt = 0;
  if (!TheObjects().IsKind(sesn, Kind::ResourceManager)) return VI_ERROR_INV_OBJECT;
  const auto expression = expr ? ResourceExpression::Parse(expr) : std::nullopt;
  if (!expression) return VI_ERROR_INV_EXPR;
  Entry list;
  list.kind = Kind::FindList;
  list.owner = sesn;
  for (auto& instrument : ListInstruments()) {
    ResourceFacts facts{instrument->Descriptor(), instrument->ManufacturerId(), instrument->ModelCode()};
    if (expression->Matches(facts)) list.found.push_back(std::move(facts.descriptor));
  }
  if (list.found.empty()) return VI_ERROR_RSRC_NFOUND;
  const std::string first = list.found.front();
  const auto count = static_cast<ViUInt32>(list.found.size());
  const ViObject handle = TheObjects().Add(std::move(list));
  if (handle == 0) return VI_ERROR_INV_OBJECT;
  if (desc) {
    const std::size_t n = std::min<std::size_t>(first.size(), VI_FIND_BUFLEN - 1);
    std::memcpy(desc, first.data(), n);
    desc[n] = '\0';
  }
  if (retCnt) *retCnt = count;
  if (vi) *vi = handle;
  return VI_SUCCESS;
}

ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 /*timeout*/, ViPSession vi) {
  if (vi == nullptr) return VI_ERROR_SYSTEM_ERROR;
  *vi = VI_NULL;
  if (!TheObjects().IsKind(sesn, Kind::ResourceManager)) return VI_ERROR_INV_OBJECT;
  if ((mode & ~VI_EXCLUSIVE_LOCK) != 0) return VI_ERROR_INV_ACC_MODE;
  if (name == nullptr || *name == '\0') return VI_ERROR_INV_RSRC_NAME;
  auto instrument = FindByDescriptor(name);
  if (!instrument) return VI_ERROR_RSRC_NFOUND;
  // Every backend link is exclusive, so any open claims the resource; the
  // lock is waited for by no one (open timeout unused).
  const std::string key = LowerCase(instrument->Descriptor());
  if (!TheObjects().Claim(key)) return VI_ERROR_RSRC_BUSY;
  const ViStatus status = OpenClaimed(sesn, *instrument, key, vi);
  if (*vi == VI_NULL) TheObjects().Release(key);
  return status;
}

ViStatus viClose(ViObject vi) {
  std::vector<Entry> removed;
  if (!TheObjects().Remove(vi, removed)) return VI_ERROR_INV_OBJECT;
  for (Entry& entry : removed) Dispose(entry);
  return VI_SUCCESS;
}

ViStatus viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue) {
  auto session = TheObjects().SessionOf(vi);
  if (session) return session->SetAttribute(attrName, attrValue);
  return TheObjects().IsKind(vi, Kind::ResourceManager) || TheObjects().IsKind(vi, Kind::FindList)
             ? VI_ERROR_NSUP_ATTR
             : VI_ERROR_INV_OBJECT;
}

ViStatus viGetAttribute(ViObject vi, ViAttr attrName, void* attrValue) {
  auto session = TheObjects().SessionOf(vi);
  if (session) return session->GetAttribute(attrName, attrValue);
  return TheObjects().IsKind(vi, Kind::ResourceManager) || TheObjects().IsKind(vi, Kind::FindList)
             ? VI_ERROR_NSUP_ATTR
             : VI_ERROR_INV_OBJECT;
}

ViStatus viSetBuf(ViSession vi, ViUInt16 mask, ViUInt32 size) {
  auto session = TheObjects().SessionOf(vi);
  return session ? session->SetBuf(mask, size) : VI_ERROR_INV_OBJECT;
}

ViStatus viFlush(ViSession vi, ViUInt16 mask) {
  auto session = TheObjects().SessionOf(vi);
  return session ? session->Flush(mask) : VI_ERROR_INV_OBJECT;
}

ViStatus viRead(ViSession vi, ViBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) {
  ViUInt32 got = 0;
  auto session = TheObjects().SessionOf(vi);
  const ViStatus status = session ? session->Read(buf, cnt, got) : VI_ERROR_INV_OBJECT;
  if (retCnt) *retCnt = got;
  return status;
}

ViStatus viWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) {
  ViUInt32 written = 0;
  auto session = TheObjects().SessionOf(vi);
  const ViStatus status = session ? session->Write(buf, cnt, written) : VI_ERROR_INV_OBJECT;
  if (retCnt) *retCnt = written;
  return status;
}
