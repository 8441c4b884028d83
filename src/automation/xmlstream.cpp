// SPDX-License-Identifier: GPL-3.0-or-later
#include "xmlstream.h"

#include <expat.h>

#include <cstring>
#include <limits>
#include <new>

#include "automation/workbook.h"

namespace automation {
namespace {

std::string_view localPart(const char* name)
{
    const char* bar = std::strrchr(name, '|');
    return bar ? std::string_view(bar + 1) : std::string_view(name);
}

} // namespace

const char* xmlAttribute(const char** attributes, std::string_view localName)
{
    for (const char** a = attributes; a && a[0]; a += 2) {
        if (localPart(a[0]) == localName)
            return a[1];
    }
    return nullptr;
}

const char* xmlAttribute(const char** attributes, std::string_view localName, std::string_view namespacePart)
{
    for (const char** a = attributes; a && a[0]; a += 2) {
        const std::string_view name(a[0]);
        const auto bar = name.rfind('|');
        if (bar != std::string_view::npos && name.substr(bar + 1) == localName
            && name.substr(0, bar).find(namespacePart) != std::string_view::npos)
            return a[1];
    }
    return nullptr;
}

// The expat callbacks: C functions that must not let an exception cross expat's frames, so a
// handler failure is stored and the parser stopped.
struct XmlStreamCallbacks {
    static XmlStream* self(void* data) { return static_cast<XmlStream*>(data); }

    template <typename F> static void guarded(void* data, F&& f)
    {
        XmlStream* s = self(data);
        if (s->m_failure)
            return;
        try {
            f(s);
        } catch (...) {
            s->m_failure = std::current_exception();
            XML_StopParser(static_cast<XML_Parser>(s->m_parser), XML_FALSE);
        }
    }

    static void XMLCALL start(void* data, const XML_Char* name, const XML_Char** attributes)
    {
        guarded(data, [&](XmlStream* s) { s->m_handler.startElement(localPart(name), attributes); });
    }
    static void XMLCALL end(void* data, const XML_Char* name)
    {
        guarded(data, [&](XmlStream* s) { s->m_handler.endElement(localPart(name)); });
    }
    static void XMLCALL text(void* data, const XML_Char* chars, int length)
    {
        guarded(data, [&](XmlStream* s) {
            s->m_handler.characters(std::string_view(chars, static_cast<std::size_t>(length)));
        });
    }
    static void XMLCALL doctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int)
    {
        XmlStream* s = self(data);
        s->m_doctype = true;
        XML_StopParser(static_cast<XML_Parser>(s->m_parser), XML_FALSE);
    }
};

XmlStream::XmlStream(XmlHandler& handler, std::string where)
    : m_handler(handler), m_where(std::move(where)), m_parser(XML_ParserCreateNS(nullptr, '|'))
{
    if (!m_parser)
        throw std::bad_alloc();
    auto parser = static_cast<XML_Parser>(m_parser);
    XML_SetUserData(parser, this);
    XML_SetElementHandler(parser, XmlStreamCallbacks::start, XmlStreamCallbacks::end);
    XML_SetCharacterDataHandler(parser, XmlStreamCallbacks::text);
    XML_SetStartDoctypeDeclHandler(parser, XmlStreamCallbacks::doctype);
    XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);
}

XmlStream::~XmlStream()
{
    XML_ParserFree(static_cast<XML_Parser>(m_parser));
}

void XmlStream::check(int status)
{
    if (m_failure)
        std::rethrow_exception(m_failure);
    if (m_doctype)
        throw WorkbookError(m_where + ": недопустимое объявление DOCTYPE в XML");
    if (status != XML_STATUS_OK) {
        auto parser = static_cast<XML_Parser>(m_parser);
        throw WorkbookError(m_where + ": ошибка XML в строке " + std::to_string(XML_GetCurrentLineNumber(parser)) + " ("
                            + XML_ErrorString(XML_GetErrorCode(parser)) + ")");
    }
}

void XmlStream::feed(const char* data, std::size_t size)
{
    auto parser = static_cast<XML_Parser>(m_parser);
    while (size > 0) {
        const int chunk = static_cast<int>(std::min<std::size_t>(size, std::numeric_limits<int>::max() / 2));
        check(XML_Parse(parser, data, chunk, XML_FALSE));
        data += chunk;
        size -= static_cast<std::size_t>(chunk);
    }
}

void XmlStream::finish()
{
    check(XML_Parse(static_cast<XML_Parser>(m_parser), "", 0, XML_TRUE));
}

} // namespace automation
