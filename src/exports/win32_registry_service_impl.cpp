// Native methods of com.fernwick.wizard.platform.win32.Win32RegistryServiceImpl: each maps the root,
// copies its strings and runs one RegistryAccess operation inside the boundary guard.
#include "com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl.h"

#include "bridge/java_results.h"
#include "bridge/java_string_chars.h"
#include "bridge/native_boundary.h"
#include "bridge/service_exception.h"
#include "registry/java_registry_data.h"
#include "registry/registry_access.h"

namespace {

using fw::JavaRootToRootKey;
using fw::JavaStringChars;
using fw::RegistryAccess;

constexpr jint kCodeGetKeyValueNames = -100000;
constexpr jint kCodeKeyExists = -100001;
constexpr jint kCodeDelete = -100002;  // deleteKey and deleteValue
constexpr jint kCodeKeyInfo = -100003;  // the six key-information methods
constexpr jint kCodeSetStringValue = -100004;
constexpr jint kCodeSetMultiStringValue = -100005;
constexpr jint kCodeSet32BitValue = -100006;
constexpr jint kCodeSetBinaryValue = -100007;
constexpr jint kCodeGetValue = -100008;  // getStringValue and get32BitValue
constexpr jint kCodeGetMultiStringValue = -100009;
constexpr jint kCodeGetBinaryValue = -100010;
constexpr jint kCodeGetValueType = -100011;
constexpr jint kCodeCreateKey = -100012;
constexpr jint kCodeGetSubkeyNames = -100013;
constexpr jint kCodeValueExists = -100014;

jboolean ToJava(bool value) { return value ? JNI_TRUE : JNI_FALSE; }

// The key-information methods differ only in the count they return.
template <typename Result, typename Field>
Result KeyInfoField(JNIEnv* env, jint root, jstring jkey, Result fallback, Field field) {
  return fw::GuardNativeCall(env, kCodeKeyInfo, fallback, [&]() -> Result {
    const JavaStringChars key(env, jkey);
    fw::KeyInfo info;
    RegistryAccess().QueryKeyInfo(JavaRootToRootKey(root), key.Get(), info);
    return field(info);
  });
}

}  // namespace

extern "C" {

JNIEXPORT jobjectArray JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_getKeyValueNames(
    JNIEnv* env, jobject, jint root, jstring jkey) {
  return fw::GuardNativeCall(env, kCodeGetKeyValueNames, static_cast<jobjectArray>(nullptr), [&] {
    const JavaStringChars key(env, jkey);
    fw::StringList names;
    RegistryAccess().EnumerateValueNames(JavaRootToRootKey(root), key.Get(), names);
    return fw::NewJavaStringArray(env, names);
  });
}

JNIEXPORT jobjectArray JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_getSubkeyNames(
    JNIEnv* env, jobject, jint root, jstring jkey) {
  return fw::GuardNativeCall(env, kCodeGetSubkeyNames, static_cast<jobjectArray>(nullptr), [&] {
    const JavaStringChars key(env, jkey);
    fw::StringList names;
    RegistryAccess().EnumerateSubkeyNames(JavaRootToRootKey(root), key.Get(), names);
    return fw::NewJavaStringArray(env, names);
  });
}

JNIEXPORT jboolean JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_keyExists(
    JNIEnv* env, jobject, jint root, jstring jkey) {
  return fw::GuardNativeCall(env, kCodeKeyExists, jboolean{JNI_FALSE}, [&] {
    const JavaStringChars key(env, jkey);
    return ToJava(RegistryAccess().KeyExists(JavaRootToRootKey(root), key.Get()));
  });
}

JNIEXPORT jboolean JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_valueExists(
    JNIEnv* env, jobject, jint root, jstring jkey, jstring jname) {
  return fw::GuardNativeCall(env, kCodeValueExists, jboolean{JNI_FALSE}, [&] {
    const JavaStringChars key(env, jkey);
    const JavaStringChars name(env, jname);
    return ToJava(RegistryAccess().ValueExists(JavaRootToRootKey(root), key.Get(), name.Get()));
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_createKey(
    JNIEnv* env, jobject, jint root, jstring jkey, jstring jsubkey) {
  fw::GuardNativeCall(env, kCodeCreateKey, [&] {
    const JavaStringChars key(env, jkey);
    const JavaStringChars subkey(env, jsubkey);
    RegistryAccess().CreateKey(JavaRootToRootKey(root), key.Get(), subkey.Get());
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_deleteKey(
    JNIEnv* env, jobject, jint root, jstring jkey, jstring jsubkey, jboolean reportMissing) {
  fw::GuardNativeCall(env, kCodeDelete, [&] {
    const JavaStringChars key(env, jkey);
    const JavaStringChars subkey(env, jsubkey);
    RegistryAccess().DeleteKey(JavaRootToRootKey(root), key.Get(), subkey.Get(), reportMissing != JNI_FALSE);
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_deleteValue(
    JNIEnv* env, jobject, jint root, jstring jkey, jstring jname, jboolean reportMissing) {
  fw::GuardNativeCall(env, kCodeDelete, [&] {
    const JavaStringChars key(env, jkey);
    const JavaStringChars name(env, jname);
    RegistryAccess().DeleteValue(JavaRootToRootKey(root), key.Get(), name.Get(), reportMissing != JNI_FALSE);
  });
}

JNIEXPORT jstring JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_getStringValue(
    JNIEnv* env, jobject, jint root, jstring jkey, jstring jname, jboolean expand) {
  // "" after a failure; made first, since nothing may call into the VM once an exception is pending.
  const jstring empty = fw::NewJavaString(env, fw::WideString());
  if (empty == nullptr) return nullptr;
  return fw::GuardNativeCall(env, kCodeGetValue, empty, [&] {
    const JavaStringChars key(env, jkey);
    const JavaStringChars name(env, jname);
    const fw::WideString value =
        RegistryAccess().ReadString(JavaRootToRootKey(root), key.Get(), name.Get(), expand != JNI_FALSE);
    return fw::NewJavaString(env, value);
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_setStringValue(
    JNIEnv* env, jobject, jint root, jstring jkey, jstring jname, jboolean expand, jstring jvalue) {
  fw::GuardNativeCall(env, kCodeSetStringValue, [&] {
    const JavaStringChars key(env, jkey);
    const JavaStringChars name(env, jname);
    const JavaStringChars value(env, jvalue);
    RegistryAccess().WriteString(JavaRootToRootKey(root), key.Get(), name.Get(), expand != JNI_FALSE, value.Get());
  });
}

JNIEXPORT jobjectArray JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_getMultiStringValue(
    JNIEnv* env, jobject, jint root, jstring jkey, jstring jname) {
  return fw::GuardNativeCall(env, kCodeGetMultiStringValue, static_cast<jobjectArray>(nullptr), [&] {
    const JavaStringChars key(env, jkey);
    const JavaStringChars name(env, jname);
    fw::StringList values;
    RegistryAccess().ReadMultiString(JavaRootToRootKey(root), key.Get(), name.Get(), values);
    return fw::NewJavaStringArray(env, values);
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_setMultiStringValue(
    JNIEnv* env, jobject, jint root, jstring jkey, jstring jname, jobjectArray jvalues) {
  fw::GuardNativeCall(env, kCodeSetMultiStringValue, [&] {
    const JavaStringChars key(env, jkey);
    const JavaStringChars name(env, jname);
    const fw::StringList values = fw::StringListFromJava(env, jvalues);
    RegistryAccess().WriteMultiString(JavaRootToRootKey(root), key.Get(), name.Get(), values);
  });
}

JNIEXPORT jint JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_get32BitValue(
    JNIEnv* env, jobject, jint root, jstring jkey, jstring jname) {
  return fw::GuardNativeCall(env, kCodeGetValue, jint{-1}, [&] {
    const JavaStringChars key(env, jkey);
    const JavaStringChars name(env, jname);
    return static_cast<jint>(RegistryAccess().ReadDword(JavaRootToRootKey(root), key.Get(), name.Get()));
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_set32BitValue(
    JNIEnv* env, jobject, jint root, jstring jkey, jstring jname, jint value) {
  fw::GuardNativeCall(env, kCodeSet32BitValue, [&] {
    const JavaStringChars key(env, jkey);
    const JavaStringChars name(env, jname);
    RegistryAccess().WriteDword(JavaRootToRootKey(root), key.Get(), name.Get(), static_cast<std::uint32_t>(value));
  });
}

JNIEXPORT jbyteArray JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_getBinaryValue(
    JNIEnv* env, jobject, jint root, jstring jkey, jstring jname) {
  return fw::GuardNativeCall(env, kCodeGetBinaryValue, static_cast<jbyteArray>(nullptr), [&]() -> jbyteArray {
    const JavaStringChars key(env, jkey);
    const JavaStringChars name(env, jname);
    fw::ScratchBuffer data;
    RegistryAccess().ReadBinary(JavaRootToRootKey(root), key.Get(), name.Get(), data);
    const jbyteArray array = fw::NewJavaByteArray(env, data.Data(), data.ByteSize());
    if (array == nullptr) {
      // The caller learns of the failed allocation as this method's error, not as the VM's own.
      env->ExceptionClear();
      fw::ThrowServiceException(env, kCodeGetBinaryValue, fw::kErrorEOutOfMemory);
    }
    return array;
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_setBinaryValue(
    JNIEnv* env, jobject, jint root, jstring jkey, jstring jname, jbyteArray jdata) {
  fw::GuardNativeCall(env, kCodeSetBinaryValue, [&] {
    const JavaStringChars key(env, jkey);
    const JavaStringChars name(env, jname);
    const fw::ScratchBuffer data = fw::BytesFromJava(env, jdata);
    RegistryAccess().WriteBinary(JavaRootToRootKey(root), key.Get(), name.Get(), data);
  });
}

JNIEXPORT jint JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_getValueType(
    JNIEnv* env, jobject, jint root, jstring jkey, jstring jname) {
  return fw::GuardNativeCall(env, kCodeGetValueType, jint{-1}, [&] {
    const JavaStringChars key(env, jkey);
    const JavaStringChars name(env, jname);
    return static_cast<jint>(RegistryAccess().ReadValueType(JavaRootToRootKey(root), key.Get(), name.Get()));
  });
}

JNIEXPORT jint JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_countSubKeys(
    JNIEnv* env, jobject, jint root, jstring jkey) {
  return KeyInfoField(env, root, jkey, jint{-1}, [](const fw::KeyInfo& info) {
    return static_cast<jint>(info.subkeyCount);
  });
}

JNIEXPORT jint JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_countValuesInKey(
    JNIEnv* env, jobject, jint root, jstring jkey) {
  return KeyInfoField(env, root, jkey, jint{-1}, [](const fw::KeyInfo& info) {
    return static_cast<jint>(info.valueCount);
  });
}

JNIEXPORT jint JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_longestSubKeyNameLength(
    JNIEnv* env, jobject, jint root, jstring jkey) {
  return KeyInfoField(env, root, jkey, jint{-1}, [](const fw::KeyInfo& info) {
    return static_cast<jint>(info.longestSubkeyName);
  });
}

JNIEXPORT jint JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_longestValueNameLength(
    JNIEnv* env, jobject, jint root, jstring jkey) {
  return KeyInfoField(env, root, jkey, jint{-1}, [](const fw::KeyInfo& info) {
    return static_cast<jint>(info.longestValueName);
  });
}

JNIEXPORT jint JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_longestValueNameData(
    JNIEnv* env, jobject, jint root, jstring jkey) {
  return KeyInfoField(env, root, jkey, jint{-1}, [](const fw::KeyInfo& info) {
    return static_cast<jint>(info.longestValueData);
  });
}

JNIEXPORT jboolean JNICALL Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_isKeyEmpty(
    JNIEnv* env, jobject, jint root, jstring jkey) {
  return KeyInfoField(env, root, jkey, jboolean{JNI_FALSE}, [](const fw::KeyInfo& info) {
    return ToJava(info.subkeyCount == 0 && info.valueCount == 0);
  });
}

}  // extern "C"
