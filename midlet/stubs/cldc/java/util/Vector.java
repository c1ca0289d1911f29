package java.util;
public class Vector {
  public Vector() {}
  public Vector(int capacity) {}
  public final native int size();
  public final native boolean isEmpty();
  public final native Object elementAt(int i);
  public final native void setElementAt(Object o, int i);
  public final native void removeElementAt(int i);
  public final native void insertElementAt(Object o, int i);
  public final native void addElement(Object o);
  public final native void removeAllElements();
  public final native int indexOf(Object o);
  public final native void copyInto(Object[] a);
  public final native Enumeration elements();
}
