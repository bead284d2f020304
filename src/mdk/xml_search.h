// Searches of a TinyXML subtree, by element name and by an attribute pattern, and the small
// look-ups the MDK reader makes with them.
#pragma once

#include <string>

#include <tinyxml.h>

/// Finds the first element named `name` below `start` (never `start` itself), in document order.
/// Returns true and sets `found` only when one exists; false for a null `start`.
bool FindElementByName(TiXmlNode* start, const char* name, TiXmlElement*& found);

/// Searches below `start` for elements named `elementName` whose attribute `attributeName`
/// contains `pattern`. A match ends the scan of its own level only, and its subtree is not
/// searched; `found` is overwritten at every match, so the last match met stands. Returns false
/// only for a null `start`: callers set `found` to null first and test it afterwards.
bool FindElementByAttribute(TiXmlNode* start, const char* elementName, const char* attributeName,
                            const char* pattern, TiXmlElement*& found);

/// True when `element` is named exactly `name`.
bool IsElementNamed(const TiXmlElement* element, const char* name);

/// The first child element of `parent`; null when `parent` is null or has none.
TiXmlElement* FirstChildElementOf(TiXmlElement* parent);

/// The first child element of `parent` named exactly `name`; null when `parent` is null or has
/// none.
TiXmlElement* ChildElement(TiXmlElement* parent, const char* name);

/// The text of `element`; a missing element or one without text reads as "".
std::string ElementText(const TiXmlElement* element);

/// The text of the first child element of `parent` named `name`; "" when there is none.
std::string ChildElementText(TiXmlElement* parent, const char* name);
