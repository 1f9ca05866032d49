#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QVector>

#include <memory>

// A YAML 1.2 document (JSON is YAML too) read into a small tree of scalars,
// mappings and sequences, each node with the place it starts at. Scalars are
// kept as text: the reader of the tree decides what a value means. An alias
// shares the node its anchor names (nothing is copied, so aliases of aliases
// cannot make the tree grow).
namespace YamlTree {

struct Mark {
    int line = -1; // 0-based; -1: no place
    int column = -1;
    bool isNull() const { return line < 0; }
};

struct Tree;

// A node of a parsed document, or an undefined node (a key that is not
// there). Valid while the Document it came from lives.
class Node {
public:
    Node() = default;
    bool isDefined() const { return tree != nullptr; }
    // A plain empty, "~" or "null" scalar.
    bool isNull() const;
    bool isScalar() const;
    bool isMap() const;
    bool isSequence() const;
    // The scalar's text ("" for other nodes).
    QString scalar() const;
    // The same without a copy, valid while the Document lives.
    QStringView view() const;
    // True for a scalar that is not plain: quoted, a block scalar, or tagged
    // "!" or "!utf16" (a text, never a number or a word).
    bool quoted() const;
    // The tag as written ("!utf16"), or "".
    QString tag() const;
    Mark mark() const;
    // Entries of a mapping or items of a sequence.
    int size() const;
    // The value of the first entry whose key is the scalar `key` (undefined
    // when there is none or this is not a mapping).
    Node operator[](const char *key) const;
    // Item i of a sequence.
    Node at(int i) const;
    // Key and value of entry i of a mapping.
    Node key(int i) const;
    Node value(int i) const;

private:
    friend struct Document;
    Node(const Tree *t, int i) : tree(t), index(i) { }
    const Tree *tree = nullptr;
    int index = -1;
};

// A parsed document: the tree, or the first syntax error with its place.
struct Document {
    bool ok = false;
    int line = 0; // 1-based place of the error
    int column = 0;
    QString message;
    std::shared_ptr<const Tree> tree;
    Node root() const;
};

// Parses the first document of the text (an empty text is a null root).
Document parse(const QByteArray &text);

} // namespace YamlTree
