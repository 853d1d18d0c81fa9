#include "tests/app/dialog_fixture.h"

namespace talvo::app::dialog_test {

ConnectedService::ConnectedService() {
  sim.Command("cycle off");
  service = std::make_unique<TTalvoService>();
  service->SetProcessInterval(20);
  service->OnConnect = [this](TTalvoService*) { connected = true; };
}

ConnectedService::~ConnectedService() { service.reset(); }

void ConnectedService::Connect(int language) {
  const std::string resource = home.Text() + "Resource/";
  ASSERT_TRUE(service->ConnectToMachine(1, sim.Address(), -1, "", resource, home.Text() + "Ncfiles/",
                                        resource + "DspE.str", language));
  ASSERT_TRUE(RunUntil([this] { return connected; })) << "no connection to the simulator";
}

}  // namespace talvo::app::dialog_test
