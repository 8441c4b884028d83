// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A streaming, namespace-aware XML reader over expat for the parts of a workbook. Elements are
// reported by local name (the namespace prefix a writer chose does not matter). Documents with
// a DOCTYPE are refused outright: workbook parts never carry one, and refusing it rules out
// entity expansion bombs and external entities. Exceptions thrown by the handler stop the
// parse and pass through feed()/finish().
#include <exception>
#include <string>
#include <string_view>

namespace automation {

class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    // attributes: name, value, name, value, ..., nullptr; a namespaced attribute's name is
    // "namespace-uri|local".
    virtual void startElement(std::string_view localName, const char** attributes) = 0;
    virtual void endElement(std::string_view localName) = 0;
    virtual void characters(std::string_view text) = 0;
};

// The value of the attribute whose local name is `localName`, or nullptr.
const char* xmlAttribute(const char** attributes, std::string_view localName);
// The same, for an attribute whose namespace URI contains `namespacePart` (":office:",
// ":calcext:"), where several namespaces use one local name.
const char* xmlAttribute(const char** attributes, std::string_view localName, std::string_view namespacePart);

class XmlStream {
public:
    // `where` prefixes messages: «a.xlsx», часть «xl/workbook.xml».
    XmlStream(XmlHandler& handler, std::string where);
    ~XmlStream();
    XmlStream(const XmlStream&) = delete;
    XmlStream& operator=(const XmlStream&) = delete;

    void feed(const char* data, std::size_t size);
    void finish();

private:
    friend struct XmlStreamCallbacks;
    void check(int status);

    XmlHandler& m_handler;
    std::string m_where;
    void* m_parser;
    std::exception_ptr m_failure;
    bool m_doctype = false;
};

} // namespace automation
