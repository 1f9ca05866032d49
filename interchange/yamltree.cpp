// The YAML tree: libfyaml's event parser builds it in one pass.
#include "interchange/yamltree.h"

#include <QHash>

#include <libfyaml.h>

#include <vector>

namespace YamlTree {

struct Item {
    enum Kind : quint8 { Null, Scalar, Map, Sequence };
    Kind kind = Null;
    bool quoted = false;
    bool done = false; // an alias may name only a finished node
    int line = -1;
    int column = -1;
    int textAt = 0; // the text: pool characters textAt .. textAt + textLength - 1
    int textLength = 0;
    QString tag;
    QVector<int> children; // a mapping: key, value, key, value, ...
};

struct Tree {
    QString pool; // the texts of all scalars, one after the other
    std::vector<Item> items;
    void setText(Item &item, QStringView text)
    {
        item.textAt = pool.size();
        item.textLength = int(text.size());
        pool.append(text.data(), int(text.size()));
    }
    QStringView text(const Item &item) const
    {
        return QStringView(pool).mid(item.textAt, item.textLength);
    }
};

namespace {

QString tokenText(fy_token *token)
{
    size_t length = 0;
    const char *text = token ? fy_token_get_text(token, &length) : nullptr;
    return text ? QString::fromUtf8(text, int(length)) : QString();
}

QString tagText(fy_token *tag)
{
    if (!tag)
        return QString();
    size_t handleLength = 0, suffixLength = 0;
    const char *handle = fy_tag_token_handle(tag, &handleLength);
    const char *suffix = fy_tag_token_suffix(tag, &suffixLength);
    return QString::fromUtf8(handle ? handle : "", int(handle ? handleLength : 0))
        + QString::fromUtf8(suffix ? suffix : "", int(suffix ? suffixLength : 0));
}

// The place a node starts: its tag when it has one, else the event's start
// (for a quoted scalar the event starts after the quote: the quote it is).
void place(Item *item, fy_event *event, fy_token *tag)
{
    const fy_mark *mark = tag ? fy_token_start_mark(tag) : fy_event_start_mark(event);
    if (mark) {
        item->line = mark->line;
        item->column = mark->column;
        if (!tag && event->type == FYET_SCALAR && mark->column > 0) {
            const fy_scalar_style style = fy_token_scalar_style(event->scalar.value);
            if (style == FYSS_SINGLE_QUOTED || style == FYSS_DOUBLE_QUOTED)
                item->column -= 1;
        }
    }
}

bool isNullWord(QStringView text)
{
    return text.isEmpty() || text == QLatin1String("~") || text == QLatin1String("null")
        || text == QLatin1String("Null") || text == QLatin1String("NULL");
}

struct Parser {
    fy_diag *diag = nullptr;
    fy_parser *parser = nullptr;
    ~Parser()
    {
        if (parser)
            fy_parser_destroy(parser);
        if (diag)
            fy_diag_destroy(diag);
    }
};

// The documents this program writes, read without the general parser:
// block mappings at indent 0, 2 and 4, lists of mappings ("  - key: value"),
// plain words and numbers, double-quoted texts with only \" and \\ escapes,
// "!utf16" texts and flow lists of those. Anything else (comments, other
// escapes, other indents, CR, tabs, other plain scalars, texts YAML does not
// carry as printable) returns false, and the general parser reads the text.
class FastReader {
public:
    explicit FastReader(Tree *t) : tree(t) { }

    bool read(const QByteArray &text)
    {
        for (const char ch : text) {
            if (ch == '\r' || ch == '\t' || ch == '#' || ch == '&' || ch == '*' || ch == '\'')
                return false;
        }
        // Valid UTF-8 only, and only characters YAML calls printable.
        const QString all = QString::fromUtf8(text);
        if (all.toUtf8() != text)
            return false;
        for (const QChar ch : all) {
            const ushort u = ch.unicode();
            if ((u < 0x20 && u != '\n') || (u >= 0x7F && u <= 0x9F && u != 0x85) || u == 0xFEFF
                || u == 0xFFFE || u == 0xFFFF)
                return false;
        }
        root = newItem(Item::Map, 0, 0);
        int line = 0;
        int start = 0;
        while (start < text.size()) {
            int end = text.indexOf('\n', start);
            if (end < 0)
                end = text.size();
            if (!readLine(text.constData() + start, end - start, line))
                return false;
            start = end + 1;
            ++line;
        }
        if (text.isEmpty() || !text.endsWith('\n'))
            return false;
        return closeSection() && !tree->items[size_t(root)].children.isEmpty();
    }

private:
    Tree *tree;
    int root = -1;
    int section = -1; // the open indent-0 block (map or sequence), -1 none
    int sectionKey = -1; // its key, while the block kind is not known yet
    int entry = -1; // the open list element (a map)

    int newItem(Item::Kind kind, int line, int column)
    {
        Item item;
        item.kind = kind;
        item.line = line;
        item.column = column;
        item.done = true;
        tree->items.push_back(std::move(item));
        return int(tree->items.size()) - 1;
    }
    void append(int parent, int child) { tree->items[size_t(parent)].children.append(child); }

    bool closeSection()
    {
        // A key with nothing under it is a null value; the general parser
        // reads that.
        if (sectionKey >= 0)
            return false;
        section = -1;
        entry = -1;
        return true;
    }

    static bool keyChar(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
            || c == '_';
    }
    static bool plainChar(char c) { return keyChar(c) || c == '.' || c == '-' || c == '+'; }

    // A plain scalar: a word or a number.
    int plain(const char *s, int n, int line, int column)
    {
        if (n == 0 || !plainChar(s[0]) || s[0] == '_' || s[0] == '+' || s[0] == '.'
            || (s[0] == '-' && (n < 2 || s[1] < '0' || s[1] > '9')))
            return -1;
        for (int i = 0; i < n; ++i) {
            if (!plainChar(s[i]))
                return -1;
        }
        const int item = newItem(Item::Scalar, line, column);
        Item &it = tree->items[size_t(item)];
        tree->setText(it, QString::fromLatin1(s, n));
        if (isNullWord(tree->text(it)))
            it.kind = Item::Null;
        return item;
    }

    // A double-quoted scalar starting at s[0] == '"'; *used: its length.
    int quoted(const char *s, int n, int line, int column, int *used)
    {
        QByteArray bytes;
        int i = 1;
        for (; i < n && s[i] != '"'; ++i) {
            if (s[i] == '\\') {
                if (i + 1 >= n || (s[i + 1] != '"' && s[i + 1] != '\\'))
                    return -1;
                ++i;
            }
            bytes.append(s[i]);
        }
        if (i >= n)
            return -1;
        *used = i + 1;
        const int item = newItem(Item::Scalar, line, column);
        tree->setText(tree->items[size_t(item)], QString::fromUtf8(bytes));
        tree->items[size_t(item)].quoted = true;
        return item;
    }

    // The value after "key: ", up to the end of the line.
    int value(const char *s, int n, int line, int column)
    {
        if (n == 0)
            return -1;
        int used = 0;
        if (s[0] == '"') {
            const int item = quoted(s, n, line, column, &used);
            return used == n ? item : -1;
        }
        if (n > 7 && qstrncmp(s, "!utf16 \"", 8) == 0) {
            const int item = quoted(s + 7, n - 7, line, column, &used);
            if (item < 0 || used != n - 7)
                return -1;
            tree->items[size_t(item)].tag = QStringLiteral("!utf16");
            return item;
        }
        if (s[0] == '[') {
            const int list = newItem(Item::Sequence, line, column);
            int i = 1;
            if (i < n && s[i] == ']')
                return i + 1 == n ? list : -1;
            while (i < n) {
                int item = -1;
                if (s[i] == '"') {
                    item = quoted(s + i, n - i, line, column + i, &used);
                } else {
                    used = 0;
                    while (i + used < n && s[i + used] != ',' && s[i + used] != ']')
                        ++used;
                    item = plain(s + i, used, line, column + i);
                }
                if (item < 0)
                    return -1;
                append(list, item);
                i += used;
                if (i < n && s[i] == ']')
                    return i + 1 == n ? list : -1;
                if (i + 1 >= n || s[i] != ',' || s[i + 1] != ' ')
                    return -1;
                i += 2;
            }
            return -1;
        }
        return plain(s, n, line, column);
    }

    // "key: value" (or "key:" when `open` may be given) at s; appends both
    // to `map`.
    bool entryLine(const char *s, int n, int line, int column, int map, bool *open)
    {
        int k = 0;
        while (k < n && keyChar(s[k]))
            ++k;
        if (k == 0 || k >= n || s[k] != ':')
            return false;
        const QString name = QString::fromLatin1(s, k);
        if (isNullWord(name))
            return false;
        const int key = newItem(Item::Scalar, line, column);
        tree->setText(tree->items[size_t(key)], name);
        if (k + 1 == n) {
            if (!open)
                return false;
            *open = true;
            append(map, key);
            sectionKey = key;
            return true;
        }
        if (s[k + 1] != ' ')
            return false;
        const int v = value(s + k + 2, n - k - 2, line, column + k + 2);
        if (v < 0)
            return false;
        append(map, key);
        append(map, v);
        return true;
    }

    bool readLine(const char *s, int n, int line)
    {
        int indent = 0;
        while (indent < n && s[indent] == ' ')
            ++indent;
        if (indent == n)
            return false;
        if (indent == 0) {
            if (!closeSection())
                return false;
            bool open = false;
            if (!entryLine(s, n, line, 0, root, &open))
                return false;
            return true;
        }
        if (indent == 2 && n > 4 && s[2] == '-' && s[3] == ' ') {
            if (sectionKey >= 0) { // the first element: the block is a list
                section = newItem(Item::Sequence, line, 2);
                append(root, section);
                sectionKey = -1;
            }
            if (section < 0 || tree->items[size_t(section)].kind != Item::Sequence)
                return false;
            entry = newItem(Item::Map, line, 4);
            append(section, entry);
            return entryLine(s + 4, n - 4, line, 4, entry, nullptr);
        }
        if (indent == 2) {
            if (sectionKey >= 0) { // the first key: the block is a mapping
                section = newItem(Item::Map, line, 2);
                append(root, section);
                sectionKey = -1;
            }
            if (section < 0 || tree->items[size_t(section)].kind != Item::Map)
                return false;
            return entryLine(s + 2, n - 2, line, 2, section, nullptr);
        }
        if (indent == 4 && entry >= 0)
            return entryLine(s + 4, n - 4, line, 4, entry, nullptr);
        return false;
    }
};

} // namespace

bool Node::isNull() const { return tree && tree->items[size_t(index)].kind == Item::Null; }
bool Node::isScalar() const { return tree && tree->items[size_t(index)].kind == Item::Scalar; }
bool Node::isMap() const { return tree && tree->items[size_t(index)].kind == Item::Map; }
bool Node::isSequence() const { return tree && tree->items[size_t(index)].kind == Item::Sequence; }
QString Node::scalar() const { return view().toString(); }
QStringView Node::view() const
{
    return tree ? tree->text(tree->items[size_t(index)]) : QStringView();
}
bool Node::quoted() const { return tree && tree->items[size_t(index)].quoted; }
QString Node::tag() const { return tree ? tree->items[size_t(index)].tag : QString(); }

Mark Node::mark() const
{
    if (!tree)
        return {};
    const Item &item = tree->items[size_t(index)];
    return { item.line, item.column };
}

int Node::size() const
{
    if (!tree)
        return 0;
    const Item &item = tree->items[size_t(index)];
    return item.kind == Item::Map     ? item.children.size() / 2
        : item.kind == Item::Sequence ? item.children.size()
                                      : 0;
}

Node Node::operator[](const char *key) const
{
    if (!isMap())
        return {};
    const QVector<int> &children = tree->items[size_t(index)].children;
    const QLatin1String wanted(key);
    for (int i = 0; i + 1 < children.size(); i += 2) {
        const Item &k = tree->items[size_t(children.at(i))];
        if (k.kind == Item::Scalar && tree->text(k) == wanted)
            return Node(tree, children.at(i + 1));
    }
    return {};
}

Node Node::at(int i) const
{
    if (!isSequence() || i < 0 || i >= size())
        return {};
    return Node(tree, tree->items[size_t(index)].children.at(i));
}

Node Node::key(int i) const
{
    if (!isMap() || i < 0 || i >= size())
        return {};
    return Node(tree, tree->items[size_t(index)].children.at(2 * i));
}

Node Node::value(int i) const
{
    if (!isMap() || i < 0 || i >= size())
        return {};
    return Node(tree, tree->items[size_t(index)].children.at(2 * i + 1));
}

Node Document::root() const
{
    if (!tree || tree->items.empty())
        return {};
    return Node(tree.get(), 0);
}

Document parse(const QByteArray &text)
{
    Document doc;
    auto tree = std::make_shared<Tree>();
    tree->items.reserve(size_t(text.size() / 8) + 1);
    tree->pool.reserve(text.size());
    if (FastReader(tree.get()).read(text)) {
        doc.ok = true;
        doc.tree = std::move(tree);
        return doc;
    }
    tree->items.clear();
    tree->pool.clear();

    Parser p;
    fy_diag_cfg diagConfig;
    fy_diag_cfg_default(&diagConfig);
    diagConfig.fp = nullptr;
    diagConfig.output_fn = nullptr;
    p.diag = fy_diag_create(&diagConfig);
    if (p.diag)
        fy_diag_set_collect_errors(p.diag, true);
    fy_parse_cfg config {};
    config.flags = fy_parse_cfg_flags(FYPCF_QUIET | FYPCF_DEFAULT_VERSION_1_2 | FYPCF_JSON_NONE);
    config.diag = p.diag;
    p.parser = fy_parser_create(&config);
    if (!p.diag || !p.parser
        || fy_parser_set_string(p.parser, text.constData(), size_t(text.size()))) {
        doc.message = QStringLiteral("the YAML reader could not start");
        return doc;
    }

    std::vector<int> open; // the collections being filled
    QHash<QString, int> anchors;
    QString failure;
    int failLine = 0, failColumn = 0;
    bool finished = false;
    const auto add = [&](int item) {
        if (!open.empty())
            tree->items[size_t(open.back())].children.append(item);
    };
    while (!finished && failure.isEmpty()) {
        fy_event *event = fy_parser_parse(p.parser);
        if (!event)
            break;
        fy_token *anchor = nullptr, *tag = nullptr;
        switch (event->type) {
        case FYET_SCALAR:
        case FYET_MAPPING_START:
        case FYET_SEQUENCE_START: {
            anchor = fy_event_get_anchor_token(event);
            tag = fy_event_get_tag_token(event);
            Item item;
            place(&item, event, tag);
            item.tag = tagText(tag);
            if (event->type == FYET_SCALAR) {
                const QString text = tokenText(event->scalar.value);
                tree->setText(item, text);
                const bool plain = fy_token_scalar_style(event->scalar.value) == FYSS_PLAIN;
                item.quoted = !plain || item.tag == QLatin1String("!")
                    || item.tag == QLatin1String("!utf16");
                item.kind = !item.quoted && item.tag.isEmpty() && isNullWord(text) ? Item::Null
                                                                                   : Item::Scalar;
                item.done = true;
            } else {
                item.kind = event->type == FYET_MAPPING_START ? Item::Map : Item::Sequence;
            }
            const int index = int(tree->items.size());
            tree->items.push_back(std::move(item));
            add(index);
            if (event->type != FYET_SCALAR)
                open.push_back(index);
            if (anchor)
                anchors.insert(tokenText(anchor), index);
            break;
        }
        case FYET_MAPPING_END:
        case FYET_SEQUENCE_END:
            if (!open.empty()) {
                tree->items[size_t(open.back())].done = true;
                open.pop_back();
            }
            break;
        case FYET_ALIAS: {
            const QString name = tokenText(event->alias.anchor);
            const auto found = anchors.constFind(name);
            if (found == anchors.cend() || !tree->items[size_t(found.value())].done) {
                const fy_mark *mark = fy_event_start_mark(event);
                failure = QStringLiteral("the alias *%1 names no finished anchored node").arg(name);
                failLine = mark ? mark->line + 1 : 0;
                failColumn = mark ? mark->column + 1 : 0;
            } else {
                add(found.value());
            }
            break;
        }
        case FYET_DOCUMENT_END:
            finished = true; // only the first document is read
            break;
        default:
            break;
        }
        fy_parser_event_free(p.parser, event);
    }
    if (failure.isEmpty() && fy_parser_get_stream_error(p.parser)) {
        void *iterator = nullptr;
        if (fy_diag_error *e = fy_diag_errors_iterate(p.diag, &iterator)) {
            failure = QString::fromUtf8(e->msg ? e->msg : "not a YAML document");
            failLine = e->line;
            failColumn = e->column;
        } else {
            failure = QStringLiteral("not a YAML document");
        }
    }
    if (!failure.isEmpty()) {
        doc.message = failure;
        doc.line = failLine;
        doc.column = failColumn;
        return doc;
    }
    if (tree->items.empty()) { // an empty text: a null document
        Item null;
        null.done = true;
        tree->items.push_back(null);
    }
    doc.ok = true;
    doc.tree = std::move(tree);
    return doc;
}

} // namespace YamlTree
