#include "service/talvo_info.h"

#include "service/talvo_service.h"

namespace talvo {

TTalvoInfo::~TTalvoInfo() { SetService(nullptr); }

void TTalvoInfo::DoChange() {
  if (OnChange) OnChange(this);
}

void TTalvoInfo::SetService(TTalvoService* service) {
  if (service == Service) return;
  if (Service != nullptr) Service->RemoveTalvoInfo(this);
  Service = service;
  if (Service != nullptr) Service->InsertTalvoInfo(this);
}

void TTalvoInfo::Refresh(bool force) {
  if (Active && Service != nullptr) Update(force);
}

vandir::TVandirCNC& TTalvoInfo::Link() const { return *Service->Link(); }

}  // namespace talvo
