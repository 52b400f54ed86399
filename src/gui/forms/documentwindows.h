#pragma once

// The document window of each document type: the one place a form joins the
// program.

#include "vocabulary/common.h"

class Doc;
class MdiChild;

// A new window of the type; doc: null for a new document, or a document just
// read, which the window copies. Null for a type without a window (a project).
MdiChild* createDocumentWindow(common::DocType type, const Doc* doc);
