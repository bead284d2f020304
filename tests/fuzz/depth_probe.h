// The element nesting of a parsed document, for the fuzz targets that check the nesting bound.
#pragma once

#include <cstddef>

#include <tinyxml.h>

/// The deepest element nesting below `root`, counted without recursion.
size_t ParsedDepth(const TiXmlNode* root);
