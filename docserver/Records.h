// Master-data records: new partners, partner changes and new articles, one ";"-separated line each.
#pragma once

#include "Context.h"

#include <string>
#include <vector>

namespace docserver {

// Each checks the record against the context; when nothing is wrong it changes `tables`
// and returns no errors, otherwise it leaves `tables` alone.
std::vector<std::string> AddPartnerRecord(std::string_view record, const WorkContext& context, Tables& tables);
std::vector<std::string> ModifyPartnerRecord(std::string_view record, const WorkContext& context, Tables& tables);
std::vector<std::string> AddArticleRecord(std::string_view record, const WorkContext& context, Tables& tables);

// Two to thirteen digits, optionally behind "RO".
bool ValidFiscalCode(std::string_view code);

}  // namespace docserver
