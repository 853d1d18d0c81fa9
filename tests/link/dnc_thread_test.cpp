// The DNC channel over real TCP: a test plays the controller on port 2000 of a loopback
// address, and the link component connects to it and answers.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

#include "link/dnc/dnc_thread.h"
#include "link/vandircnc.h"
#include "tests/link/dnc_request.h"
#include "tests/link/loopback_peer.h"
#include "tests/link/temp_folder.h"
#include "tests/support/timing.h"

namespace vandir {
namespace {

using namespace std::chrono_literals;
using asio::ip::tcp;
using test::DncRequest;

class DncChannel : public testing::Test {
 protected:
  DncChannel() { TVandirCNC::SetRootPath(root.Path().string() + "/"); }
  ~DncChannel() override { TVandirCNC::SetRootPath(""); }

  // A DNC connection as Connect_TCP(2, ...) leaves it, without the command channel.
  void AsDncConnection(TVandirCNC& link) {
    link.SetCNC_TCP_IP(address);
    link.SetCNC_TCP_Port(1988);
  }
  static defPACKAGE Exchange(tcp::socket& socket, const DncRequest& request, int replyLength) {
    asio::write(socket, asio::buffer(request.p.bytes));
    defPACKAGE reply;
    EXPECT_TRUE(test::ReadWithin(socket, reply.bytes.data(), static_cast<std::size_t>(replyLength)))
        << request.p.iCommand();
    return reply;
  }

  test::TempFolder root;
  std::string address = test::LoopbackAddress();
  std::optional<test::Peer> controller{std::in_place, address, kDncChannelPort};
};

TEST_F(DncChannel, ConnectTypeTwoServesTheControllerUntilDisconnect) {
  TVandirCNC link;
  EXPECT_EQ(link.Connect_TCP(2, address), 0);
  EXPECT_TRUE(link.GetDNCEnabled());
  tcp::socket socket = controller->NewSocket();
  ASSERT_TRUE(controller->Accept(socket));
  const defPACKAGE reply = Exchange(socket, DncRequest(4096, 1), 272);
  EXPECT_EQ(reply.iCommand(), 8192);
  EXPECT_EQ(reply.text(kData), root.Path().string() + "/");
  EXPECT_TRUE(test::Eventually([&] { return link.DNCThread->DNCInService.load(); }));
  link.Disconnect();
  EXPECT_FALSE(link.GetDNCEnabled());
  EXPECT_TRUE(test::ClosedWithin(socket, 5s));
}

TEST_F(DncChannel, OnlyADncConnectionEnablesIt) {
  TVandirCNC link;
  link.SetCNC_TCP_IP(address);
  link.SetCNC_TCP_Port(1888);
  EXPECT_EQ(link.EnableDNC(), -1);
  EXPECT_FALSE(link.GetDNCEnabled());
  tcp::socket socket = controller->NewSocket();
  EXPECT_FALSE(controller->Accept(socket, 300ms));

  link.SetCNC_TCP_Port(1988);
  EXPECT_EQ(link.EnableDNC(), 0);
  EXPECT_EQ(link.EnableDNC(), -1);
  EXPECT_TRUE(controller->Accept(socket));
}

TEST_F(DncChannel, ConnectTypeOneLeavesItOff) {
  TVandirCNC link;
  link.Connect_TCP(1, address);
  EXPECT_FALSE(link.GetDNCEnabled());
  tcp::socket socket = controller->NewSocket();
  EXPECT_FALSE(controller->Accept(socket, 300ms));
}

TEST_F(DncChannel, RetriesUntilTheControllerListens) {
  controller.reset();
  TVandirCNC link;
  AsDncConnection(link);
  ASSERT_EQ(link.EnableDNC(), 0);
  std::this_thread::sleep_for(350ms);
  EXPECT_FALSE(link.DNCThread->DNCConnected);
  controller.emplace(address, kDncChannelPort);
  tcp::socket socket = controller->NewSocket();
  EXPECT_TRUE(controller->Accept(socket));
}

TEST_F(DncChannel, ABrokenChannelClosesTheFilesAndStaysDown) {
  TVandirCNC link;
  AsDncConnection(link);
  ASSERT_EQ(link.EnableDNC(), 0);
  {
    tcp::socket socket = controller->NewSocket();
    ASSERT_TRUE(controller->Accept(socket));
    const int handle =
        Exchange(socket, DncRequest(4130, 1).Bytes(kData, "C:\\O1\0").Bytes(272, "wb\0"), 16)
            .iParam1();
    ASSERT_EQ(handle, 0);
    EXPECT_EQ(Exchange(socket, DncRequest(4133, 2, handle).Bytes(kData, "G0\0"), 16).iParam1(), 0);
  }  // the controller drops the channel
  EXPECT_TRUE(test::Eventually([&] { return root.Read("O1") == "G0"; }));
  EXPECT_TRUE(test::Eventually([&] { return !link.DNCThread->DNCInService; }));
  tcp::socket again = controller->NewSocket();
  EXPECT_FALSE(controller->Accept(again, 400ms));

  link.DisableDNC();
  EXPECT_EQ(link.EnableDNC(), 0);
  EXPECT_TRUE(controller->Accept(again));
}

TEST_F(DncChannel, RecordsAndForeignPackagesAreNotAnswered) {
  TVandirCNC link;
  AsDncConnection(link);
  link.Set_DR_Save_Path((root / "dr").string());
  std::filesystem::create_directories(root / "dr");
  ASSERT_EQ(link.EnableDNC(), 0);
  tcp::socket socket = controller->NewSocket();
  ASSERT_TRUE(controller->Accept(socket));
  asio::write(socket, asio::buffer(DncRequest(21845, 1, 1).p.bytes));
  DncRequest foreign(4096, 2);
  foreign.p.set_iHead(515);
  asio::write(socket, asio::buffer(foreign.p.bytes));
  const defPACKAGE reply = Exchange(socket, DncRequest(4096, 3), 16);
  EXPECT_EQ(reply.iCommand(), 8192);
  EXPECT_EQ(reply.iIndex(), 3);
  EXPECT_EQ(link.Get_DR_Data(), 1);
}

TEST_F(DncChannel, StoppingNeverWaitsForTheController) {
  auto link = std::make_unique<TVandirCNC>();
  AsDncConnection(*link);
  ASSERT_EQ(link->EnableDNC(), 0);
  tcp::socket socket = controller->NewSocket();
  ASSERT_TRUE(controller->Accept(socket));
  ASSERT_TRUE(test::Eventually([&] { return link->DNCThread->DNCInService.load(); }));
  auto started = std::chrono::steady_clock::now();
  link->DisableDNC();
  EXPECT_LT(std::chrono::steady_clock::now() - started, test::Stretched(500ms));
  EXPECT_TRUE(test::ClosedWithin(socket, 5s));

  ASSERT_EQ(link->EnableDNC(), 0);
  tcp::socket second = controller->NewSocket();
  ASSERT_TRUE(controller->Accept(second));
  started = std::chrono::steady_clock::now();
  link.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - started, test::Stretched(500ms));
  EXPECT_TRUE(test::ClosedWithin(second, 5s));
}

}  // namespace
}  // namespace vandir
