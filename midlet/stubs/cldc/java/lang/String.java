package java.lang;
public final class String {
  public String() {}
  public String(char[] v) {}
  public String(char[] v, int offset, int count) {}
  public String(byte[] b) {}
  public String(StringBuffer b) {}
  public native int length();
  public native char charAt(int i);
  public native void getChars(int begin, int end, char[] dst, int dstBegin);
  public native boolean equals(Object o);
  public native int compareTo(String s);
  public native boolean startsWith(String s);
  public native boolean endsWith(String s);
  public native int hashCode();
  public native int indexOf(int ch);
  public native int indexOf(int ch, int from);
  public native int indexOf(String s);
  public native int indexOf(String s, int from);
  public native int lastIndexOf(int ch);
  public native String substring(int begin);
  public native String substring(int begin, int end);
  public native String concat(String s);
  public native String replace(char a, char b);
  public native String toLowerCase();
  public native String toUpperCase();
  public native String trim();
  public native String toString();
  public native char[] toCharArray();
  public static native String valueOf(Object o);
  public static native String valueOf(char[] v);
  public static native String valueOf(boolean b);
  public static native String valueOf(char c);
  public static native String valueOf(int i);
  public static native String valueOf(long l);
}
