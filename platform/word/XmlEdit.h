#pragma once
// Helpers shared by the edits of a document's XML (inside the component).
#include "platform/word/DocumentData.h"

#include <QString>
#include <initializer_list>
#include <pugixml.hpp>
#include <vector>

namespace Word::detail {

bool isAny(const pugi::xml_node& node, std::initializer_list<const char*> names);
// The node itself or its nearest ancestor named `name`.
pugi::xml_node ancestor(pugi::xml_node node, const char* name);
pugi::xml_node insertAt(Point at, const char* name);
// Inserts child `name` into parent ahead of the first child named in `later`,
// keeping the element order the schema asks for.
pugi::xml_node childInOrder(pugi::xml_node parent, const char* name, std::initializer_list<const char*> later);

// Runs.
void copyRunProperties(pugi::xml_node run, const pugi::xml_node& rPr);
// A new run at the point with a copy of rPr and the text.
pugi::xml_node makeRun(const Point& at, const pugi::xml_node& rPr, const QString& text);
std::vector<pugi::xml_node> runsBetween(const pugi::xml_node& from, const pugi::xml_node& to);
pugi::xml_node runProperties(const pugi::xml_node& run);

// Paragraphs and points.
pugi::xml_node firstParagraph(const pugi::xml_node& container);
Point startOf(const pugi::xml_node& p);

// The selection (Selection.cpp).
pugi::xml_node neighbourFormatting(const Point& at);
// Gives the selection an insertion point when it has none.
void ensurePoint(DocumentData& doc);
void clearSelected(DocumentData& doc);

} // namespace Word::detail
