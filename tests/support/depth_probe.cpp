// The element nesting of a parsed document, for the tests and fuzz targets of the nesting bound.
#include "support/depth_probe.h"

#include <algorithm>
#include <utility>
#include <vector>

size_t ParsedDepth(const TiXmlNode* root) {
  size_t deepest = 0;
  std::vector<std::pair<const TiXmlNode*, size_t>> pending = {{root, 0}};
  while (!pending.empty()) {
    const auto [node, depth] = pending.back();
    pending.pop_back();
    deepest = std::max(deepest, depth);
    for (const TiXmlNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling()) {
      if (child->ToElement() != nullptr) pending.push_back({child, depth + 1});
    }
  }
  return deepest;
}
