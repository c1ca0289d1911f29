package java.lang;
public final class StringBuffer {
  public StringBuffer() {}
  public StringBuffer(int length) {}
  public StringBuffer(String s) {}
  public native int length();
  public native char charAt(int i);
  public native void setLength(int n);
  public native void setCharAt(int i, char c);
  public native StringBuffer append(Object o);
  public native StringBuffer append(String s);
  public native StringBuffer append(char[] s);
  public native StringBuffer append(boolean b);
  public native StringBuffer append(char c);
  public native StringBuffer append(int i);
  public native StringBuffer append(long l);
  public native StringBuffer insert(int offset, String s);
  public native StringBuffer insert(int offset, char c);
  public native StringBuffer delete(int start, int end);
  public native StringBuffer reverse();
  public native String toString();
}
