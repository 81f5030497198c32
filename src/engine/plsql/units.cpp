#include "engine/plsql/plsql.h"

namespace engine::plsql {

struct SessionState {};
struct Block {
  std::vector<std::string> binds;
};

bool isPlsqlText(std::string_view) { return false; }
std::shared_ptr<SessionState> newSessionState(storage::SessionImpl&) { return std::make_shared<SessionState>(); }
std::shared_ptr<Block> prepareBlock(storage::SessionImpl&, const std::string&) { throw Error::ora(900); }
const std::vector<std::string>& bindNamesOf(const Block& block) { return block.binds; }
void runBlock(storage::SessionImpl&, Block&, std::vector<Value>&) { throw Error::ora(900); }
std::vector<std::string> takeOutput(SessionState&) { return {}; }

}  // namespace engine::plsql
