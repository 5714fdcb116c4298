#pragma once

#include "tool/AuditSource.h"

#include <initializer_list>
#include <string_view>

namespace pdfinfodump {

// Whether an action, or any action its /Next chain holds (one action or an array of them),
// runs JavaScript: a /JavaScript action, or a /Rendition action with a script, whose /JS is
// a string or a stream. Each action is looked at once; a chain longer than chainLimit
// throws UnreadableObjects.
bool runsJavaScript(AuditSource& source, const PdfObject& action, long long chainLimit);

// Whether any of the actions an additional-actions dictionary (/AA) holds under keys runs
// JavaScript.
bool anyRunsJavaScript(AuditSource& source, const PdfObject& additionalActions,
                       std::initializer_list<std::string_view> keys, long long chainLimit);

} // namespace pdfinfodump
