// Classes the test VM's own tests run against, independent of the Java side's manifest.
#ifndef FWTEST_TESTVM_SAMPLE_CLASSES_H
#define FWTEST_TESTVM_SAMPLE_CLASSES_H

namespace fwtest {

inline constexpr const char* kSampleClass = "com/fernwick/testvm/Sample";
inline constexpr const char* kSampleException = "com/fernwick/testvm/SampleException";

inline constexpr const char* kSampleManifest = R"(# test VM sample classes
class com/fernwick/testvm/Sample super java/lang/Object
method com/fernwick/testvm/Sample <init> ()V public
method com/fernwick/testvm/Sample setCount (I)V public
method com/fernwick/testvm/Sample getName ()Ljava/lang/String; public
method com/fernwick/testvm/Sample getState (I)Z public
method com/fernwick/testvm/Sample addItem (Ljava/lang/String;)V public
method com/fernwick/testvm/Sample create ()Lcom/fernwick/testvm/Sample; public,static
field com/fernwick/testvm/Sample LIMIT I public,static,final = 42
class com/fernwick/testvm/SampleException super java/lang/Exception
method com/fernwick/testvm/SampleException <init> (I)V public
method com/fernwick/testvm/SampleException <init> (ILjava/lang/String;)V public
)";

}  // namespace fwtest

#endif
