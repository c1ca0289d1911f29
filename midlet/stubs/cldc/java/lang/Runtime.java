package java.lang;
public class Runtime {
  public static native Runtime getRuntime();
  public native long freeMemory();
  public native long totalMemory();
  public native void gc();
}
