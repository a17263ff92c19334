// The library's string and string array.
#include <cstring>

#include "athcfg/athcfg.h"

namespace {

char* Duplicate(const char* text) {
    if (!text || !*text) return nullptr;
    const size_t n = std::strlen(text);
    char* copy = new char[n + 1];
    std::memcpy(copy, text, n + 1);
    return copy;
}

}  // namespace

ACString::ACString() : text_(nullptr) {}
ACString::ACString(const char* text) : text_(Duplicate(text)) {}
ACString::ACString(const ACString& other) : text_(Duplicate(other.text_)) {}
ACString::~ACString() { delete[] text_; }

ACString& ACString::operator=(const ACString& other) { return *this = other.text_; }

ACString& ACString::operator=(const char* text) {
    if (text != text_) {
        char* copy = Duplicate(text);
        delete[] text_;
        text_ = copy;
    }
    return *this;
}

const char* ACString::c_str() const { return text_ ? text_ : ""; }
int ACString::length() const { return text_ ? static_cast<int>(std::strlen(text_)) : 0; }
bool ACString::empty() const { return !text_ || !*text_; }

ACStringArray::ACStringArray() : items_(nullptr), size_(0), capacity_(0) {}
ACStringArray::~ACStringArray() { delete[] items_; }

int ACStringArray::GetSize() const { return size_; }

void ACStringArray::SetSize(int size) {
    if (size < 0) size = 0;
    if (size > capacity_) {
        const int capacity = size > 2 * capacity_ ? size : 2 * capacity_;
        ACString* grown = new ACString[capacity];
        for (int i = 0; i < size_; ++i) grown[i] = items_[i];
        delete[] items_;
        items_ = grown;
        capacity_ = capacity;
    }
    for (int i = size; i < size_; ++i) items_[i] = "";  // free what falls off the end
    for (int i = size_; i < size; ++i) items_[i] = "";
    size_ = size;
}

const char* ACStringArray::GetAt(int index) const {
    return index >= 0 && index < size_ ? items_[index].c_str() : "";
}

void ACStringArray::SetAt(int index, const char* text) {
    if (index >= 0 && index < size_) items_[index] = text;
}

void ACStringArray::Add(const char* text) {
    SetSize(size_ + 1);
    items_[size_ - 1] = text;
}

void ACStringArray::RemoveAll() { SetSize(0); }
