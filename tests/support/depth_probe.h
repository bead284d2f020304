// The element nesting of a parsed document, for the tests and fuzz targets of the nesting bound.
#pragma once

#include <cstddef>

#include <tinyxml.h>

/// The deepest element nesting below `root`, counted without recursion.
size_t ParsedDepth(const TiXmlNode* root);
