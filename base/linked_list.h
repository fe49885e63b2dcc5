#ifndef BASE_LINKED_LIST_H
#define BASE_LINKED_LIST_H

// A singly linked list that owns its elements by value: append at the tail,
// clear as a whole. Iterate with `for (node = list.first; node; node = node->next)`.

template <class T>
struct cLinkedListNode {
    T element;  // value-initialised on append: numbers and plain records zeroed
    cLinkedListNode* next;

    cLinkedListNode() : element(), next(nullptr) {}
};

template <class T>
class cLinkedList {
public:
    typedef cLinkedListNode<T> Node;

    cLinkedList() : first(nullptr), last(nullptr) {}
    ~cLinkedList();
    cLinkedList(const cLinkedList&) = delete;
    cLinkedList& operator=(const cLinkedList&) = delete;

    Node* first;
    Node* last;
};

// A new element at the tail for the caller to fill; null (list unchanged)
// when the heap refuses the node.
template <class T>
T* list_append(cLinkedList<T>& list)
{
    cLinkedListNode<T>* node = new cLinkedListNode<T>;
    if (!node)
        return nullptr;
    if (list.last)
        list.last->next = node;
    else
        list.first = node;
    list.last = node;
    return &node->element;
}

// A copy of text at the tail, for a list of owned strings (anything with
// Assign and Text); false when memory runs out.
template <class T, class C>
bool list_append_text(cLinkedList<T>& list, const C* text)
{
    T* kept = list_append(list);
    if (kept)
        kept->Assign(text);
    return kept && kept->Text();
}

template <class T>
void list_clear(cLinkedList<T>& list)
{
    for (cLinkedListNode<T>* node = list.first; node;) {
        cLinkedListNode<T>* next = node->next;
        delete node;
        node = next;
    }
    list.first = list.last = nullptr;
}

template <class T>
cLinkedList<T>::~cLinkedList()
{
    list_clear(*this);
}

#endif
