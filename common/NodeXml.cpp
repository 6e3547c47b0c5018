#include "NodeXml.h"

#include <windows.h>
#include <msxml2.h>

#include "Text.h"
#include "win/Com.h"

using ordvale::win::Bstr;
using ordvale::win::ComPtr;
using ordvale::win::Variant;

namespace NodeXml {

namespace {

// The import libraries lack most MSXML identifiers; these are the registered values.
const GUID kDomDocument60 = {0x88d96a05, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}};
const GUID kDomDocument30 = {0xf5078f32, 0xc551, 0x11d3, {0x89, 0xb9, 0x00, 0x00, 0xf8, 0x1f, 0xe2, 0x21}};
const GUID kDomDocument50 = {0x88d969e5, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}};
const GUID kDomDocument40 = {0x88d969c0, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}};
const GUID kDomDocument26 = {0xf5078f1b, 0xc551, 0x11d3, {0x89, 0xb9, 0x00, 0x00, 0xf8, 0x1f, 0xe2, 0x21}};
const GUID kDomDocument = {0x2933bf90, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};
const GUID kIidDocument2 = {0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};
const GUID kIidElement = {0x2933bf86, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};
const GUID kIidNode = {0x2933bf80, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

struct EngineChoice {
    const GUID* clsid;
    int32_t version;
};
const EngineChoice kEngines[] = {
    {&kDomDocument60, 60}, {&kDomDocument30, 30}, {&kDomDocument50, 50},
    {&kDomDocument40, 40}, {&kDomDocument26, 26}, {&kDomDocument, 0},
};

CXmlNodePtr NullNode() {
    try {
        return std::make_shared<CXmlNode>();
    } catch (...) {
        // Callers always receive a handle; an empty shared handle is the last resort.
        return CXmlNodePtr();
    }
}

CXmlNodePtr Wrap(IXMLDOMNode* node) {
    try {
        return std::make_shared<CXmlNode>(node);
    } catch (...) {
        return NullNode();
    }
}

ComPtr<IXMLDOMElement> AsElement(IXMLDOMNode* node) {
    ComPtr<IXMLDOMElement> element;
    if (node) node->QueryInterface(kIidElement, reinterpret_cast<void**>(element.Put()));
    return element;
}

void SetProperty(IXMLDOMDocument2* doc, const wchar_t* name, const wchar_t* text) {
    Variant value(text);
    doc->setProperty(Bstr(name).Get(), value.Get());
}

void SetProperty(IXMLDOMDocument2* doc, const wchar_t* name, bool flag) {
    Variant value(flag);
    doc->setProperty(Bstr(name).Get(), value.Get());
}

}  // namespace

// ---- CXmlNode ---------------------------------------------------------------

CXmlNode::CXmlNode(IXMLDOMNode* node) : node_(node) {
    if (node_) node_->AddRef();
}

CXmlNode::~CXmlNode() {
    if (node_) node_->Release();
}

std::wstring CXmlNode::GetAttribute(const wchar_t* name, const wchar_t* defaultText) const {
    std::wstring fallback = defaultText ? defaultText : L"";
    try {
        ComPtr<IXMLDOMElement> element = AsElement(node_);
        if (!element || !name) return fallback;
        Variant value;
        if (element->getAttribute(Bstr(name).Get(), value.Put()) != S_OK) return fallback;
        if (value.Get().vt != VT_BSTR || !value.Get().bstrVal || !*value.Get().bstrVal)
            return fallback;
        return std::wstring(value.Get().bstrVal, SysStringLen(value.Get().bstrVal));
    } catch (...) {
        return fallback;
    }
}

bool CXmlNode::SetAttribute(const wchar_t* name, const wchar_t* text) {
    try {
        ComPtr<IXMLDOMElement> element = AsElement(node_);
        if (!element || !name) return false;
        Variant value(text ? text : L"");
        return SUCCEEDED(element->setAttribute(Bstr(name).Get(), value.Get()));
    } catch (...) {
        return false;
    }
}

bool CXmlNode::SetAttribute(const wchar_t* name, int32_t number) {
    try {
        return SetAttribute(name, std::to_wstring(number).c_str());
    } catch (...) {
        return false;
    }
}

CXmlNodePtr CXmlNode::NewChild(const wchar_t* name) {
    try {
        if (!node_ || !name) return NullNode();
        ComPtr<IXMLDOMDocument> owner;
        if (node_->get_ownerDocument(owner.Put()) != S_OK || !owner) return NullNode();
        ComPtr<IXMLDOMElement> element;
        if (FAILED(owner->createElement(Bstr(name).Get(), element.Put())) || !element)
            return NullNode();
        ComPtr<IXMLDOMNode> appended;
        if (FAILED(node_->appendChild(element.Get(), appended.Put())) || !appended)
            return NullNode();
        return Wrap(appended.Get());
    } catch (...) {
        return NullNode();
    }
}

void CXmlNode::Remove() {
    if (!node_) return;
    ComPtr<IXMLDOMNode> parent;
    if (node_->get_parentNode(parent.Put()) != S_OK || !parent) return;
    ComPtr<IXMLDOMNode> removed;
    parent->removeChild(node_, removed.Put());
}

bool CXmlNode::RemoveChildren() {
    if (!node_) return false;
    ComPtr<IXMLDOMNodeList> children;
    if (FAILED(node_->get_childNodes(children.Put())) || !children) return false;
    long count = 0;
    if (FAILED(children->get_length(&count))) return false;
    for (long i = count - 1; i >= 0; --i) {
        ComPtr<IXMLDOMNode> child;
        if (children->get_item(i, child.Put()) != S_OK || !child) return false;
        ComPtr<IXMLDOMNode> removed;
        if (FAILED(node_->removeChild(child.Get(), removed.Put()))) return false;
    }
    return true;
}

CXmlNodePtr CXmlNode::SelectSingleNode(const wchar_t* expression) const {
    try {
        if (!node_ || !expression || !*expression) return NullNode();
        ComPtr<IXMLDOMNode> found;
        if (node_->selectSingleNode(Bstr(expression).Get(), found.Put()) != S_OK || !found)
            return NullNode();
        return Wrap(found.Get());
    } catch (...) {
        return NullNode();
    }
}

CXmlNodesPtr CXmlNode::SelectNodes(const wchar_t* expression) const {
    try {
        ComPtr<IXMLDOMNodeList> list;
        if (node_ && expression && *expression &&
            FAILED(node_->selectNodes(Bstr(expression).Get(), list.Put())))
            list.Reset();
        return std::make_shared<CXmlNodes>(list.Get());
    } catch (...) {
        return CXmlNodesPtr();
    }
}

// ---- CXmlNodes --------------------------------------------------------------

CXmlNodes::CXmlNodes(IXMLDOMNodeList* list) : list_(list) {
    if (list_) list_->AddRef();
}

CXmlNodes::~CXmlNodes() {
    if (list_) list_->Release();
}

int32_t CXmlNodes::GetLength() const {
    if (!list_) return -1;
    long length = 0;
    if (FAILED(list_->get_length(&length))) return -1;
    return static_cast<int32_t>(length);
}

CXmlNodePtr CXmlNodes::GetItem(int32_t index) const {
    if (!list_ || index < 0) return NullNode();
    ComPtr<IXMLDOMNode> node;
    if (list_->get_item(index, node.Put()) != S_OK || !node) return NullNode();
    return Wrap(node.Get());
}

// ---- CXmlDocument -----------------------------------------------------------

CXmlDocument::~CXmlDocument() {
    Close();
}

void CXmlDocument::Close() {
    if (document_) document_->Release();
    document_ = nullptr;
    filePath_.clear();
    engineVersion_ = 0;
}

bool CXmlDocument::Create() {
    Close();
    for (const EngineChoice& engine : kEngines) {
        if (SUCCEEDED(CoCreateInstance(*engine.clsid, nullptr, CLSCTX_INPROC_SERVER, kIidDocument2,
                                       reinterpret_cast<void**>(&document_))) &&
            document_) {
            engineVersion_ = engine.version;
            break;
        }
        document_ = nullptr;
    }
    if (!document_) return false;

    SetProperty(document_, L"SelectionLanguage", L"XPath");
    if (engineVersion_ == 40) SetProperty(document_, L"NewParser", true);
    // A profile document needs neither scripts, external documents nor
    // external entities; none of them is ever fetched.
    SetProperty(document_, L"AllowXsltScript", false);
    SetProperty(document_, L"AllowDocumentFunction", false);
    document_->put_resolveExternals(VARIANT_FALSE);
    document_->put_preserveWhiteSpace(VARIANT_FALSE);
    document_->put_validateOnParse(VARIANT_FALSE);
    document_->put_async(VARIANT_FALSE);
    filePath_.clear();
    return true;
}

bool CXmlDocument::Open(const wchar_t* path) {
    try {
        if (!path) return false;
        HANDLE probe = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe == INVALID_HANDLE_VALUE) return false;
        CloseHandle(probe);
        if (!Create()) return false;
        filePath_ = path;
        Variant source(path);
        VARIANT_BOOL loaded = VARIANT_FALSE;
        return SUCCEEDED(document_->load(source.Get(), &loaded)) && loaded == VARIANT_TRUE;
    } catch (...) {
        return false;
    }
}

bool CXmlDocument::CreateBlank() {
    try {
        if (!Create()) return false;
        ComPtr<IXMLDOMProcessingInstruction> declaration;
        if (FAILED(document_->createProcessingInstruction(Bstr(L"xml").Get(),
                                                          Bstr(L"version=\"1.0\"").Get(),
                                                          declaration.Put())) ||
            !declaration)
            return false;
        ComPtr<IXMLDOMNode> added;
        if (FAILED(document_->appendChild(declaration.Get(), added.Put()))) return false;
        CXmlNodePtr root = CreateRootElement();
        if (!root || root->IsNull()) return false;
        added.Reset();
        return SUCCEEDED(document_->appendChild(root->Raw(), added.Put()));
    } catch (...) {
        return false;
    }
}

CXmlNodePtr CXmlDocument::CreateRootElement() {
    try {
        if (!document_) return NullNode();
        ComPtr<IXMLDOMElement> element;
        if (FAILED(document_->createElement(Bstr(L"Ordvale").Get(), element.Put())) || !element)
            return NullNode();
        ComPtr<IXMLDOMNode> node = element.As<IXMLDOMNode>(kIidNode);
        return Wrap(node.Get());
    } catch (...) {
        return NullNode();
    }
}

CXmlNodePtr CXmlDocument::GetRoot() const {
    if (!document_) return NullNode();
    ComPtr<IXMLDOMElement> root;
    if (document_->get_documentElement(root.Put()) != S_OK || !root) return NullNode();
    ComPtr<IXMLDOMNode> node = root.As<IXMLDOMNode>(kIidNode);
    return Wrap(node.Get());
}

CXmlNodePtr CXmlDocument::SelectSingleNode(const wchar_t* expression) const {
    CXmlNodePtr root = GetRoot();
    if (!root || root->IsNull()) return NullNode();
    return root->SelectSingleNode(expression);
}

bool CXmlDocument::Save(const wchar_t* path) {
    try {
        if (!document_) return false;
        std::wstring target = path ? std::wstring(path) : filePath_;
        if (target.empty()) return false;
        Variant destination(target.c_str());
        if (FAILED(document_->save(destination.Get()))) return false;
        if (path) filePath_ = target;
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace NodeXml
