// Searches of a TinyXML subtree, by element name and by an attribute pattern.
#pragma once

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
