#include "engine/velkaro.h"

namespace velkaro {

bool TVelkaro::LoadProject(const std::string&, std::string*) { return true; }
void TVelkaro::SaveProject(const std::string&) const {}

}  // namespace velkaro
