// A thin object layer over the MSXML DOM with XPath selection. No error of
// the DOM engine leaves this layer: failures are false, a null node, an
// empty list or the default text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct IXMLDOMNode;
struct IXMLDOMNodeList;
struct IXMLDOMDocument2;

namespace NodeXml {

class CXmlNode;
class CXmlNodes;
using CXmlNodePtr = std::shared_ptr<CXmlNode>;
using CXmlNodesPtr = std::shared_ptr<CXmlNodes>;

class CXmlNode {
public:
    CXmlNode() = default;
    explicit CXmlNode(IXMLDOMNode* node);  // takes a reference of its own
    ~CXmlNode();
    CXmlNode(const CXmlNode&) = delete;
    CXmlNode& operator=(const CXmlNode&) = delete;

    bool IsNull() const { return node_ == nullptr; }

    // The attribute's value; the default when it is missing or empty.
    std::wstring GetAttribute(const wchar_t* name, const wchar_t* defaultText) const;
    bool SetAttribute(const wchar_t* name, const wchar_t* text);
    bool SetAttribute(const wchar_t* name, const std::wstring& text) {
        return SetAttribute(name, text.c_str());
    }
    bool SetAttribute(const wchar_t* name, int32_t number);

    // A new element appended as the last child.
    CXmlNodePtr NewChild(const wchar_t* name);
    void Remove();
    bool RemoveChildren();

    CXmlNodePtr SelectSingleNode(const wchar_t* expression) const;
    CXmlNodesPtr SelectNodes(const wchar_t* expression) const;
    CXmlNodePtr SelectSingleNode(const std::wstring& e) const { return SelectSingleNode(e.c_str()); }
    CXmlNodesPtr SelectNodes(const std::wstring& e) const { return SelectNodes(e.c_str()); }

    IXMLDOMNode* Raw() const { return node_; }

private:
    IXMLDOMNode* node_ = nullptr;
};

class CXmlNodes {
public:
    CXmlNodes() = default;
    explicit CXmlNodes(IXMLDOMNodeList* list);  // takes a reference of its own
    ~CXmlNodes();
    CXmlNodes(const CXmlNodes&) = delete;
    CXmlNodes& operator=(const CXmlNodes&) = delete;

    // -1 when no list is held or the engine fails.
    int32_t GetLength() const;
    CXmlNodePtr GetItem(int32_t index) const;

private:
    IXMLDOMNodeList* list_ = nullptr;
};

class CXmlDocument {
public:
    CXmlDocument() = default;
    ~CXmlDocument();
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    bool Create();
    bool Open(const wchar_t* path);
    bool CreateBlank();
    CXmlNodePtr CreateRootElement();
    CXmlNodePtr GetRoot() const;
    CXmlNodePtr SelectSingleNode(const wchar_t* expression) const;
    CXmlNodePtr SelectSingleNode(const std::wstring& e) const { return SelectSingleNode(e.c_str()); }
    // Absent path: the file the document came from.
    bool Save(const wchar_t* path = nullptr);
    void Close();

    const std::wstring& FilePath() const { return filePath_; }
    int32_t EngineVersion() const { return engineVersion_; }

private:
    IXMLDOMDocument2* document_ = nullptr;
    std::wstring filePath_;
    int32_t engineVersion_ = 0;
};

}  // namespace NodeXml
