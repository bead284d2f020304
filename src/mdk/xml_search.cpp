// Searches of a TinyXML subtree, by element name and by an attribute pattern, and the small
// look-ups the MDK reader makes with them.
#include "mdk/xml_search.h"

#include <cstring>

bool FindElementByName(TiXmlNode* start, const char* name, TiXmlElement*& found) {
  if (start == nullptr) return false;
  for (TiXmlElement* child = start->FirstChildElement(); child != nullptr;
       child = child->NextSiblingElement()) {
    if (std::strcmp(child->Value(), name) == 0) {
      found = child;
      return true;
    }
    // Depth first: a child's whole subtree comes before its next sibling.
    if (FindElementByName(child, name, found)) return true;
  }
  return false;
}

bool FindElementByAttribute(TiXmlNode* start, const char* elementName, const char* attributeName,
                            const char* pattern, TiXmlElement*& found) {
  if (start == nullptr) return false;
  for (TiXmlElement* child = start->FirstChildElement(); child != nullptr;
       child = child->NextSiblingElement()) {
    const char* value = child->Attribute(attributeName);
    if (value != nullptr && std::strcmp(child->Value(), elementName) == 0 &&
        std::strstr(value, pattern) != nullptr) {
      // A match ends the scan of this level only; the caller's level goes on and may overwrite
      // `found` with a later match.
      found = child;
      return true;
    }
    FindElementByAttribute(child, elementName, attributeName, pattern, found);
  }
  return true;
}

bool IsElementNamed(const TiXmlElement* element, const char* name) {
  return std::strcmp(element->Value(), name) == 0;
}

TiXmlElement* FirstChildElementOf(TiXmlElement* parent) {
  return parent != nullptr ? parent->FirstChildElement() : nullptr;
}

TiXmlElement* ChildElement(TiXmlElement* parent, const char* name) {
  for (TiXmlElement* child = FirstChildElementOf(parent); child != nullptr;
       child = child->NextSiblingElement()) {
    if (IsElementNamed(child, name)) return child;
  }
  return nullptr;
}

std::string ElementText(const TiXmlElement* element) {
  const char* text = element != nullptr ? element->GetText() : nullptr;
  return text != nullptr ? text : "";
}

std::string ChildElementText(TiXmlElement* parent, const char* name) {
  return ElementText(ChildElement(parent, name));
}
