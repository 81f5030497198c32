// DBMS_PIPE between sessions on different threads: a receiver waits for a sender, a full pipe makes
// its sender wait for a reader, timeouts end waits, and a cancel ends one with ORA-01013.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "engine_test_support.h"

using engine::test::errorCode;
using engine::test::rows;

namespace engine {
namespace {

class PipeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = test::freshDatabase();
    a_ = db_->logOn("SYSTEM", "SYSTEM");
    b_ = db_->logOn("SYSTEM", "SYSTEM");
  }

  // Sends one text item; returns SEND_MESSAGE's status.
  static std::int64_t send(Session& s, const std::string& pipe, const std::string& text, int timeout, int maxSize = 8192) {
    auto st = s.prepare("BEGIN DBMS_PIPE.RESET_BUFFER; DBMS_PIPE.PACK_MESSAGE(:t); :r := DBMS_PIPE.SEND_MESSAGE(:p, :w, :m); END;");
    st->bind("t", Value(text));
    st->bind("p", Value(pipe));
    st->bind("w", Value(timeout));
    st->bind("m", Value(maxSize));
    st->bindOut("r", DataType::Number);
    st->execute();
    return st->bindValue("r").asInteger();
  }

  // Receives one message; returns its status and first text item.
  static std::pair<std::int64_t, std::string> receive(Session& s, const std::string& pipe, int timeout) {
    auto st = s.prepare(
        "BEGIN :r := DBMS_PIPE.RECEIVE_MESSAGE(:p, :w); "
        "IF :r = 0 AND DBMS_PIPE.NEXT_ITEM_TYPE = 9 THEN DBMS_PIPE.UNPACK_MESSAGE(:t); END IF; END;");
    st->bind("p", Value(pipe));
    st->bind("w", Value(timeout));
    st->bindOut("r", DataType::Number);
    st->bindOut("t", DataType::Varchar2);
    st->execute();
    Value t = st->bindValue("t");
    return {st->bindValue("r").asInteger(), t.isNull() ? std::string() : t.asText()};
  }

  std::shared_ptr<Database> db_;
  std::unique_ptr<Session> a_, b_;
};

TEST_F(PipeTest, AWaitingReceiverGetsTheMessageAnotherSessionSends) {
  auto receiver = std::async(std::launch::async, [&] { return receive(*b_, "WORK", 30); });
  // The receiver is waiting (or about to): the send reaches it either way.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(send(*a_, "WORK", "job 1", 0), 0);
  auto [status, text] = receiver.get();
  EXPECT_EQ(status, 0);
  EXPECT_EQ(text, "job 1");
  // Received once: the pipe is empty again.
  EXPECT_EQ(receive(*a_, "WORK", 0).first, 1);
}

TEST_F(PipeTest, AReceiverInATransactionDoesNotBlockTheSendersWrites) {
  a_->execute("CREATE TABLE log_t (v VARCHAR2(10))");
  b_->execute("INSERT INTO log_t VALUES ('b')");  // B holds a write transaction while it waits
  auto receiver = std::async(std::launch::async, [&] { return receive(*b_, "WORK", 30); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(send(*a_, "WORK", "go", 0), 0);
  EXPECT_EQ(receiver.get().second, "go");
  b_->commit();
  EXPECT_EQ(rows(*a_, "SELECT v FROM log_t"), std::vector<std::string>{"b"});
}

TEST_F(PipeTest, AReceiveTimesOutWithStatusOne) {
  auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(receive(*a_, "NOBODY", 1).first, 1);
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(900));
}

TEST_F(PipeTest, ACancelEndsAWaitingReceiveWithOra01013AndTheSessionGoesOn) {
  auto canceller = std::async(std::launch::async, [&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    b_->interrupt();
  });
  EXPECT_EQ(errorCode(*b_, "DECLARE s INTEGER; BEGIN s := DBMS_PIPE.RECEIVE_MESSAGE('NOBODY', 600); END;"), 1013);
  canceller.get();
  EXPECT_EQ(send(*a_, "AFTER", "x", 0), 0);
  EXPECT_EQ(receive(*b_, "AFTER", 0), (std::pair<std::int64_t, std::string>{0, "x"}));
}

TEST_F(PipeTest, AFullPipeMakesTheSenderWaitForAReader) {
  // A pipe of 100 bytes holds one 60-byte message; the second waits until the first is read.
  std::string item(60, 'x');
  EXPECT_EQ(send(*a_, "SMALL", item, 0, 100), 0);
  EXPECT_EQ(send(*a_, "SMALL", item, 0, 100), 1);  // full: no wait, timed out
  auto sender = std::async(std::launch::async, [&] { return send(*a_, "SMALL", "second", 30, 100); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(receive(*b_, "SMALL", 0).second, item);
  EXPECT_EQ(sender.get(), 0);
  EXPECT_EQ(receive(*b_, "SMALL", 0).second, "second");
}

TEST_F(PipeTest, AMessageFromAnotherThreadsSessionOfAnotherUserArrivesOnAPublicPipe) {
  a_->execute("CREATE USER piper IDENTIFIED BY piper");
  a_->execute("GRANT CREATE SESSION TO piper");
  a_->execute("DECLARE s INTEGER; BEGIN s := DBMS_PIPE.CREATE_PIPE('SHARED', 8192, FALSE); END;");
  std::thread([&] {
    auto other = db_->logOn("PIPER", "piper");
    EXPECT_EQ(send(*other, "SHARED", "from piper", 0), 0);
  }).join();
  EXPECT_EQ(receive(*b_, "SHARED", 0).second, "from piper");
}

TEST_F(PipeTest, EachSessionHasItsOwnUniqueName) {
  auto name = [](Session& s) { return rows(s, "SELECT DBMS_PIPE.UNIQUE_SESSION_NAME FROM dual").at(0); };
  EXPECT_EQ(name(*a_), name(*a_));
  EXPECT_NE(name(*a_), name(*b_));
}

}  // namespace
}  // namespace engine
