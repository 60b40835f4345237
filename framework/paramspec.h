// The ParamSpec language: how an option describes its parameters.
//
// A ParamSpec holds one entry per parameter: a label of one or more
// "\n"-ended lines, then a descriptor "[type,field2,field3]".  The first
// non-empty line of a label is its short label (the dialog row); all lines
// are the long label (the value-entry dialog).  Descriptor fields are the
// non-empty comma pieces, so "[int,,]" has type "int" and no fields.
#pragma once

#include <string>
#include <vector>

struct Descriptor {
    std::string type;    // at most 19 characters
    std::string field2;  // at most 9 characters
    std::string field3;  // at most 9 characters
};

// Splits a ParamSpec into n labels and descriptors, stored in the
// registry's slots 1..n.  Missing entries come out empty.
void splitspec(const char* spec, int n);
Descriptor readdescriptor(const char* descriptor);
std::string shortlabel(const char* label);
// Lines 1..12 of a long label, each at most 255 characters.
std::vector<std::string> labellines(const char* label);

// Asks the user one more value while an option runs.  question is a
// one-parameter ParamSpec (label + descriptor); its label and descriptor
// are copied into the registry's slot 1 (question itself is not changed).  Types
// "int", "float" and "string" ask through the value-entry question and copy
// the typed text into answer (256 bytes); every other type returns at once
// and leaves answer untouched.  Returns true when a value was typed, false
// when nothing was asked or the question was cancelled (answer untouched).
bool askparam(char* question, char* answer);
