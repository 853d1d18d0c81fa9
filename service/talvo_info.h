// A piece of machine data a page shows: the object knows which reads of the link to make,
// keeps the values they handed out, and raises its change event when one of them changed.
// Objects register with the service by SetService; the service polls the active ones.
#pragma once

#include <functional>

namespace vandir {
class TVandirCNC;
}

namespace talvo {

class TTalvoService;

class TTalvoInfo {
 public:
  using TChangeEvent = std::function<void(TTalvoInfo* Sender)>;

  TTalvoInfo() = default;
  virtual ~TTalvoInfo();
  TTalvoInfo(const TTalvoInfo&) = delete;
  TTalvoInfo& operator=(const TTalvoInfo&) = delete;

  virtual void DoChange();
  // Reads the values through the link and raises the change event when something changed;
  // with `force` the event is raised whatever the reads report.
  virtual void Update(bool force) = 0;

  void SetService(TTalvoService* service);
  TTalvoService* GetService() const { return Service; }
  // Update, but only while active and registered.
  void Refresh(bool force);

  TChangeEvent OnChange;
  bool Active = false;
  int Group = 0;

 protected:
  // The link of the service; only called while registered.
  vandir::TVandirCNC& Link() const;

 private:
  TTalvoService* Service = nullptr;
};

}  // namespace talvo
